#pragma once

#include <memory>

class QDialog;
class QWidget;

namespace pl3 {

struct AppContext;
class Prompter;

// About: the translated template when the language in effect is "english", the Chinese
// one otherwise. Its links to folders and files tell through prompter when nothing can
// show them.
std::unique_ptr<QDialog> makeAboutDialog(QWidget* parent, const AppContext& context,
                                         Prompter& prompter);
void showAboutDialog(QWidget* parent, const AppContext& context, Prompter& prompter);

}  // namespace pl3
