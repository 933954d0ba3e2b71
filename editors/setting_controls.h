#pragma once
// The list and check-box controls of a settings page, by control identifier: what the
// shared settings-page widget asks of either page's rules.

#include <string>
#include <vector>

namespace pl3 {

class SettingControls {
  public:
    virtual ~SettingControls() = default;

    // An identifier of the wrong kind throws std::invalid_argument.
    virtual std::vector<std::string> items(int listId) const = 0;
    virtual int selectedIndex(int listId) const = 0;
    virtual void select(int listId, int index) = 0;
    virtual bool checked(int boxId) const = 0;
    virtual void setChecked(int boxId, bool on) = 0;
};

}  // namespace pl3
