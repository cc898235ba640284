#pragma once
// The address box of the address toolbar: Enter, or choosing an entry of its list, goes to
// the address it holds.

#include <QComboBox>
#include <functional>

namespace vl {

class CBookmarkBox : public QComboBox {
public:
    static constexpr int kGoToBookmark = 32857;
    explicit CBookmarkBox(QWidget* parent = nullptr);
    // Posts a command to the main frame; it runs once the key or the choice is done.
    std::function<void(int command)> postCommand;
    // Gives the keys back to the grid; Escape runs it while no list is open.
    std::function<void()> leave;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Enter on a text that equals an entry also chooses that entry: one Go for both.
    void PostGo();
    bool goPending_ = false;
};

} // namespace vl
