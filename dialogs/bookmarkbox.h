#pragma once
// The bookmark box of the address toolbar: Enter goes to the chosen bookmark.

#include <QComboBox>
#include <functional>

namespace vl {

class CBookmarkBox : public QComboBox {
public:
    static constexpr int kGoToBookmark = 32857;
    explicit CBookmarkBox(QWidget* parent = nullptr) : QComboBox(parent) {}
    // Posts a command to the main frame; it runs once the key is done.
    std::function<void(int command)> postCommand;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vl
