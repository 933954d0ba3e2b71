#pragma once
// The access-code dialog (template 156) that opens the service mode: the right code
// unlocks Test 1 (the tuning dialog), Test 2 (auto tuning) and the manual adjust mode box.

#include <QDialog>

#include "codeplug/document.h"
#include "link/radio_services.h"
#include "service/ui/tuning_dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pl3 {

class Prompter;
class ServiceJobRunner;

class AccessCodeDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 156;
    static constexpr int kPrompt = 1079;
    static constexpr int kCodeBox = 1078;
    static constexpr int kManualAdjustBox = 1080;
    static constexpr int kTest1 = 1136;
    static constexpr int kTest2 = 1135;

    AccessCodeDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter, ServiceHooks hooks,
                     QWidget* parent = nullptr);
    ~AccessCodeDialog() override;

    // Test 1: the tuning dialog, modal.
    void openTuning();
    // Test 2: the test-data read; the auto-tuning dialog opens when it succeeds.
    void openAutoTuning();
    bool readingTestData() const;

    // Escape, the close box and Cancel: a running test-data read is stopped first.
    void reject() override;

  private:
    void layOut();
    void codeChanged(const QString& text);
    void showManualAdjustMode();
    void testDataRead(const service::ServiceSnapshot& end, const Image& working);
    void setUnlocked(bool unlocked);

    RadioServices radio_;
    CMaItemDoc& doc_;
    Prompter& prompter_;
    ServiceHooks hooks_;
    bool unlocked_ = false;
    QLineEdit* code_ = nullptr;
    QCheckBox* manualAdjust_ = nullptr;
    QPushButton* test1_ = nullptr;
    QPushButton* test2_ = nullptr;
    ServiceJobRunner* runner_ = nullptr;
};

// The Test-mode command of the main window.
void runServiceMode(RadioServices radio, CMaItemDoc& doc, Prompter& prompter, ServiceHooks hooks,
                    QWidget* parent);

}  // namespace pl3
