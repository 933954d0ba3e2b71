#pragma once
// The control's state that its construction, its operations and its event handlers share.

#include <QAbstractButton>
#include <QObject>
#include <functional>
#include <utility>
#include <vector>

#include "grid/grid_rules.h"
#include "grid/ui/grid_ctrl.h"
#include "grid/ui/grid_model.h"
#include "grid/ui/grid_painting.h"

namespace pl3 {

namespace grid {

class EventHook final : public QObject {
  public:
    using Handler = std::function<bool(QObject*, QEvent*)>;

    EventHook(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override { return handler_(watched, event); }

  private:
    Handler handler_;
};

}  // namespace grid

struct CGridCtrl::Impl {
    grid::GridModel* model = nullptr;  // children of the grid
    QAbstractButton* corner = nullptr;
    grid::EventHook* hook = nullptr;
    std::vector<QMetaObject::Connection> headerConnections;

    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    std::vector<bool> typingColumns;
    bool editable = true;
    bool selectionEnabled = true;
    bool applyingLayout = false;  // section sizes set by the grid, not dragged by the user
    bool headerDragResized = false;

    grid::Covering covering;
    grid::CellPos pressed;
    grid::WheelAccumulator wheel;
};

}  // namespace pl3
