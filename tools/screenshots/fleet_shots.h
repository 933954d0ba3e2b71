#pragma once
// The dialog "Write to several radios" for the screenshots: while its radios are written,
// once they have all ended, and as the production line.

#include <QString>
#include <functional>

#include "app/app_context.h"
#include "codeplug/document.h"
#include "platform/prompter.h"

class QWidget;

// Grabs a widget as it is shown into a file; false when it could not be written.
using WidgetSaver = std::function<bool(QWidget&, const QString&)>;

bool saveFleetDialog(pl3::AppContext& context, pl3::CMaItemDoc& doc, pl3::Prompter& prompter,
                     QWidget* parent, const WidgetSaver& save, const QString& prefix);
