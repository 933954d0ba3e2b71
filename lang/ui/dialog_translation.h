#pragma once
// Dialogs are laid out with their built-in captions; the language file's "Resource"
// section then relabels them by identifier, so a new language needs no code.

class QWidget;

class QDialog;
class QHBoxLayout;

namespace pl3 {

class TextLookup;

// Dynamic property holding a control's identifier (int).
constexpr const char* kResourceIdProperty = "resourceId";
// Dynamic property holding a dialog's template number (int).
constexpr const char* kTemplateNumberProperty = "templateNumber";

// Every dialog's OK and Cancel buttons share these identifiers, and so their captions.
constexpr int kOkButtonId = 1;
constexpr int kCancelButtonId = 2;

void setResourceId(QWidget* widget, int id);

// Marks dialog with templateNumber; "Resource"/<templateNumber> becomes its title and
// "Resource"/<id> the text of every button, label and group box below it whose identifier
// is id. Missing keys leave the built-in caption; other widget kinds are left alone.
void translateDialog(QWidget* dialog, int templateNumber, const TextLookup& texts);

// The OK and Cancel buttons of a dialog built in code, with their built-in captions and
// identifiers, wired to accept and reject; a layout to add at the bottom.
QHBoxLayout* addOkCancelRow(QDialog* dialog);

}  // namespace pl3
