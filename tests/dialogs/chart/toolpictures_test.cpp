// The dialogs' tool buttons show the shared pictures, greyed while disabled, and the
// container window takes the profile's opacity as the other modeless windows do.
#include "../dialogtest.h"
#include "core/settings.h"
#include "dialogs/borderpage.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/gridpage.h"
#include "ui/imagelists.h"
#include "ui/uiutil.h"

#include <QAction>
#include <QToolButton>

namespace vl {

namespace {

struct SharedListsGuard {
    SharedListsGuard() { CreateSharedImageLists(); }
    ~SharedListsGuard() { DestroySharedImageLists(); }
};

QImage Shown(const QIcon& icon, QIcon::Mode mode) {
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Listed(bool greyed, int list, int image) {
    const auto& lists = greyed ? SharedImages().greyed : SharedImages().color;
    return (*lists[size_t(list - 1)])[size_t(image)].convertToFormat(QImage::Format_RGB32);
}

// The icon's two states against the list's picture: colour when enabled, greyed when not.
void ExpectPicture(const QIcon& icon, int list, int image) {
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(Shown(icon, QIcon::Normal), Listed(false, list, image));
    EXPECT_EQ(Shown(icon, QIcon::Disabled), Listed(true, list, image));
}

} // namespace

TEST(ToolPictures, ContainerWindowGridPageAndFormatPages) {
    SharedListsGuard lists;
    ASSERT_TRUE(SharedImages().color[6] && SharedImages().greyed[5]);
    CContainerPropertiesDlg window(ContainerDlgHost{}, nullptr);
    ASSERT_TRUE(window.Open(nullptr));
    const struct {
        int id;
        int image;
        const char* tip;
        Qt::ToolButtonStyle style;
    } buttons[] = {
        {33044, 0, "Later", Qt::ToolButtonIconOnly},
        {33043, 1, "Earlier", Qt::ToolButtonIconOnly},
        {33045, 2, "", Qt::ToolButtonTextBesideIcon},
        {57670, 3, "", Qt::ToolButtonTextBesideIcon},
        {33046, 4, "Reference", Qt::ToolButtonIconOnly},
        {33047, 5, "Add Series", Qt::ToolButtonIconOnly},
        {33048, 6, "Remove Series", Qt::ToolButtonIconOnly},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.id);
        QToolButton* button = window.Button(b.id);
        ASSERT_NE(button, nullptr);
        ExpectPicture(button->icon(), 7, b.image);
        EXPECT_EQ(button->toolButtonStyle(), b.style);
        if (b.style == Qt::ToolButtonIconOnly) {
            EXPECT_EQ(button->toolTip(), b.tip);
        }
    }
    CChartGridPage grid;
    for (const auto& [id, image] : {std::pair{33049, 5}, std::pair{33050, 6}}) {
        auto* button = grid.findChild<QToolButton*>(QStringLiteral("id%1").arg(id));
        ASSERT_NE(button, nullptr) << id;
        ExpectPicture(button->icon(), 7, image);
    }
    CBorderPage page(nullptr, StyleRecord{}, nullptr);
    const int actions[] = {CFormatPage::kCopy, CFormatPage::kPaste, CFormatPage::kHelp,
                           CFormatPage::kClose};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectPicture(page.Action(actions[i])->icon(), 6, i);
    }
}

TEST(ToolPictures, WithoutTheListsTheButtonsKeepTheirTexts) {
    DestroySharedImageLists();
    CContainerPropertiesDlg window(ContainerDlgHost{}, nullptr);
    QToolButton* later = window.Button(33044);
    EXPECT_TRUE(later->icon().isNull());
    EXPECT_EQ(later->text(), "Later");
    // A button without a picture shows its text whatever its style.
    EXPECT_GT(later->sizeHint().width(), later->fontMetrics().horizontalAdvance("Later"));
}

// The container window at each opacity: the profile's percentage as the other windows take
// it, opaque at 100.
TEST(ContainerWindowOpacity, FollowsTheProfile) {
    const int kept = Profile().opacity;
    for (int percent : {100, 75, 30, 4}) {
        SCOPED_TRACE(percent);
        Profile().opacity = uint8_t(percent);
        CContainerPropertiesDlg window(ContainerDlgHost{}, nullptr);
        ASSERT_TRUE(window.Open(nullptr));
        QWidget reference;
        SetWindowOpacity(&reference, percent);
        EXPECT_DOUBLE_EQ(window.windowOpacity(), reference.windowOpacity());
        EXPECT_EQ(window.windowOpacity() < 1.0, percent < 100);
    }
    Profile().opacity = uint8_t(kept);
}

} // namespace vl
