#include "view/ui/report_to_pdf.h"

#include <QPrinter>

#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "lang/stderr_prompter.h"
#include "view/ui/printout.h"

namespace pl3 {

namespace {
constexpr int kCannotPrint = 2;
}

int printReportToPdf(const SettingsFile& settings, const TextLookup& texts,
                     const std::string& pdfPath, const std::optional<std::string>& codeplugPath) {
    StderrPrompter prompter(texts, "pl3-cps");
    CMaItemDoc doc(settings);
    bool skipPrompt = true;
    newDocument(doc, prompter, skipPrompt);
    if (codeplugPath) {
        const OpenOutcome outcome = openDocument(doc, *codeplugPath, prompter);
        if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
            return kCannotPrint;
    }
    const ChannelListPrintout printout(doc, texts, prompter);
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
