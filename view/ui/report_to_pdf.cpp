#include "view/ui/report_to_pdf.h"

#include <filesystem>

#include <QPrinter>
#include <QTemporaryDir>

#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "lang/settings_warnings.h"
#include "lang/stderr_prompter.h"
#include "platform/atomic_file.h"
#include "platform/file_status.h"
#include "platform/utf8_path.h"
#include "view/ui/printout.h"

namespace pl3 {

namespace {

constexpr int kCannotPrint = 2;
// Far beyond any report of 128 channels.
constexpr std::size_t kMaxReportBytes = 64 * 1024 * 1024;

// A FIFO or device at the output would block the write or be replaced by a file.
bool isNoRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(platform::utf8Path(path), error) &&
           !platform::isRegularFile(path);
}

}  // namespace

int printReportToPdf(const SettingsFile& settings, const TextLookup& texts,
                     const std::string& pdfPath, const std::optional<std::string>& codeplugPath) {
    StderrPrompter prompter(texts, "pl3-cps");
    warnAboutUnusableSettings(settings, prompter);
    if (isNoRegularFile(pdfPath)) {
        prompter.showMessage({{}, text_key::kErrorNotRegularFile, pdfPath, PromptIcon::Stop});
        return kCannotPrint;
    }
    CMaItemDoc doc(settings);
    bool skipPrompt = true;
    newDocument(doc, prompter, skipPrompt);
    if (codeplugPath) {
        const OpenOutcome outcome = openDocument(doc, *codeplugPath, prompter);
        if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
            return kCannotPrint;
    }
    const ChannelListPrintout printout(doc, texts);
    // The printer draws into a file of its own; the report then replaces the output in
    // one step, so a failure leaves no half-written file and can say why it failed.
    QTemporaryDir scratch;
    const QString drawn = scratch.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(drawn);
    printer.setDocName(QString::fromStdString(codeplugPath.value_or(std::string())));
    platform::FileError error;
    std::optional<std::vector<std::uint8_t>> report;
    if (scratch.isValid() && printout.print(printer))
        report = platform::readFile(drawn.toStdString(), kMaxReportBytes, &error);
    if (!report || !platform::writeFileAtomically(pdfPath, *report, &error)) {
        std::string detail = pdfPath;
        if (error.errorNumber != 0) detail += "\n" + error.describe();
        prompter.showMessage({{}, text_key::kErrorPrint, detail, PromptIcon::Stop});
        return kCannotPrint;
    }
    return 0;
}

}  // namespace pl3
