#include "view/report_to_pdf.h"

#include <QPrinter>

#include "codeplug/document_commands.h"
#include "lang/stderr_prompter.h"
#include "lang/text_keys.h"
#include "view/ma_item_view.h"
#include "view/printout.h"

namespace pl3 {

namespace {
constexpr int kCannotPrint = 2;
}

int printReportToPdf(AppContext& context, const std::string& pdfPath,
                     const std::optional<std::string>& codeplugPath) {
    StderrPrompter prompter(context.texts, "pl3-cps");
    warnAboutUnusableSettings(context.settings, prompter);
    CMaItemDoc doc(context.settings);
    bool skipPrompt = true;
    newDocument(doc, prompter, skipPrompt);
    if (codeplugPath) {
        const OpenOutcome outcome = openDocument(doc, *codeplugPath, prompter);
        if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
            return kCannotPrint;
    }
    const CMaItemView view(context, doc, prompter, {});
    const ChannelListPrintout printout(view);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdfPath));
    printer.setDocName(QString::fromStdString(codeplugPath.value_or(std::string())));
    if (!printout.print(printer)) {
        prompter.showMessage({{}, text_key::kErrorPrint, pdfPath, PromptIcon::Stop});
        return kCannotPrint;
    }
    return 0;
}

}  // namespace pl3
