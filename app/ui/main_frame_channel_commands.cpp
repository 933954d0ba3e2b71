// The main window's channel-list commands: import, export, copy, paste, compare and the
// channel order.

#include "app/ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>

#include "app/commands.h"
#include "app/ui/compare_dialog.h"
#include "app/ui/import_placement_dialog.h"
#include "app/ui/import_report_dialog.h"
#include "app/ui/qt_text.h"
#include "codeplug/codeplug_diff.h"
#include "codeplug/data_file.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "editors/ui/channel_page.h"
#include "interchange/channel_export.h"
#include "interchange/channel_import.h"
#include "platform/atomic_file.h"
#include "view/ui/ma_item_view.h"

namespace pl3 {

namespace {

QString fileFilter() {
    return qs(std::string(data_file::kFilter));
}

struct OrderCommand {
    int command;
    ChannelOrderCommand order;
};
constexpr OrderCommand kOrderCommands[] = {
    {command::kInsertChannel, ChannelOrderCommand::Insert},
    {command::kDeleteChannel, ChannelOrderCommand::Delete},
    {command::kMoveChannelUp, ChannelOrderCommand::MoveUp},
    {command::kMoveChannelDown, ChannelOrderCommand::MoveDown},
    {command::kSortByFrequency, ChannelOrderCommand::SortByFrequency},
    {command::kSortByName, ChannelOrderCommand::SortByName},
};

}  // namespace

ChannelPage& CMainFrame::channelPage() const {
    return *qobject_cast<ChannelPage*>(view_->page(CMaItemView::kChannelPage));
}

void CMainFrame::connectChannelOrderCommands() {
    ChannelPage& page = channelPage();
    QList<QAction*> orderActions;
    for (const OrderCommand& entry : kOrderCommands) {
        QAction* action = actions_.value(entry.command);
        connect(action, &QAction::triggered, this,
                [this, order = entry.order] { reorderChannels(order); });
        orderActions.append(action);
    }
    for (const command::Accelerator& accelerator : command::kChannelPageAccelerators) {
        QAction* action = actions_.value(accelerator.command);
        action->setShortcut(QKeySequence(qs(std::string(accelerator.keys))));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    // Shortcuts of an action count where the widgets it belongs to have the focus.
    page.addActions(orderActions);
    page.setContextActions(orderActions);
    auto enableForPage = [this, orderActions] {
        const bool onChannelPage = view_->currentPage() == CMaItemView::kChannelPage;
        for (QAction* action : orderActions)
            action->setEnabled(onChannelPage);
    };
    connect(view_->tabBar(), &QTabBar::currentChanged, this, enableForPage);
    enableForPage();
}

void CMainFrame::reorderChannels(ChannelOrderCommand command) {
    channelPage().reorder(command);
}

void CMainFrame::exportChannels() {
    const QFileInfo codeplug(qs(doc_.pathName()));
    const QString suggested = doc_.pathName().empty() ? QString()
                                                      : codeplug.absolutePath() + '/' +
                                                            codeplug.completeBaseName() + ".csv";
    QFileDialog dialog(this, QString(), suggested, qs(context_.texts.text(text_key::kCsvFilter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    exportChannelsTo(dialog.selectedFiles().first().toStdString());
}

bool CMainFrame::exportChannelsTo(const std::string& path) {
    const std::string text = interchange::exportCsv(doc_);
    platform::FileError error;
    platform::WriteNotes notes;
    if (!platform::writeFileAtomically(path, {text.begin(), text.end()}, &error, &notes)) {
        prompter_.showMessage(saveFailure(path, error));
        return false;
    }
    tellSharedNames(path, notes, prompter_);
    return true;
}

void CMainFrame::importChannels() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QString(), QString(), qs(context_.texts.text(text_key::kCsvFilter)));
    if (chosen.isEmpty()) return;
    ImportPlacementDialog placement(context_.texts, this);
    if (placement.exec() != QDialog::Accepted) return;
    importChannelsFrom(chosen.toStdString(), {.firstChannel = placement.firstChannel()});
}

void CMainFrame::importChannelsFrom(const std::string& path, interchange::ImportOptions options) {
    platform::FileError error;
    // One byte more than an import takes, so that a larger file is reported as such.
    std::optional<std::vector<std::uint8_t>> bytes =
        platform::readFileHead(path, interchange::kMaxImportBytes + 1, &error);
    if (!bytes) {
        prompter_.showMessage({text_key::kError, text_key::kErrorOpenFile,
                               path + "\n" + error.describe(), PromptIcon::Stop});
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    confirmAndImport(interchange::planImport(doc_, text, interchange::Format::Csv, options), true);
}

void CMainFrame::compareWithFile() {
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), QString(), fileFilter());
    if (chosen.isEmpty()) return;
    if (std::unique_ptr<CompareDialog> dialog = compareDialogFor(chosen.toStdString()))
        dialog->exec();
}

std::unique_ptr<CompareDialog> CMainFrame::compareDialogFor(const std::string& path) {
    CMaItemDoc other(context_.settings);
    const OpenOutcome outcome = openDocument(other, path, prompter_);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError) return nullptr;
    return std::make_unique<CompareDialog>(
        wordDifferences(diffCodeplugs(doc_, other), doc_, other, context_.texts), path,
        context_.texts, this);
}

void CMainFrame::copyChannels() {
    const std::string rows =
        interchange::exportChannels(doc_, channelPage().channelsToCopy(), interchange::Format::Tsv,
                                    interchange::HeadingLine::Without);
    QApplication::clipboard()->setText(qs(rows));
}

void CMainFrame::pasteChannels() {
    const std::string text = QApplication::clipboard()->text().toStdString();
    if (text.empty()) return;
    interchange::ImportOptions options;
    options.firstChannel = channelPage().pasteTarget();
    // A clean paste goes straight in; one the rules had to change or refuse is shown first.
    confirmAndImport(interchange::planImport(doc_, text, interchange::Format::Tsv, options), false);
}

void CMainFrame::confirmAndImport(const interchange::ImportPlan& plan, bool alwaysAsk) {
    const bool clean = plan.report.notes.empty() && plan.report.notesLeftOut == 0;
    if (alwaysAsk || !clean || !plan.changesDocument()) {
        ImportReportDialog dialog(interchange::describeImport(plan.report, context_.texts),
                                  plan.changesDocument(), context_.texts, this);
        if (dialog.exec() != QDialog::Accepted || !plan.changesDocument()) return;
    }
    interchange::applyImport(doc_, plan);
}

}  // namespace pl3
