#pragma once

class QWidget;

namespace pl3 {

struct AppContext;

// About: the translated template when the stored language is exactly "english", the
// Chinese one otherwise.
void showAboutDialog(QWidget* parent, const AppContext& context);

}  // namespace pl3
