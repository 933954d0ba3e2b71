#pragma once

#include <memory>

class QDialog;
class QWidget;

namespace pl3 {

struct AppContext;

// About: the translated template when the stored language is exactly "english", the
// Chinese one otherwise.
std::unique_ptr<QDialog> makeAboutDialog(QWidget* parent, const AppContext& context);
void showAboutDialog(QWidget* parent, const AppContext& context);

}  // namespace pl3
