#pragma once
// Doubles of the dialogs' tests: UI services that count beeps and boxes and answer the
// choosers at once, and a clock moved by hand.

#include "core/clock.h"
#include "ui/uiservices.h"

#include <QImage>
#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace vl::dialogtest {

class FakeClock : public IClock {
public:
    int64_t NowSeconds() const override { return now; }
    int64_t now = 1000;
};

class FakeUi : public IUiServices {
public:
    FakeUi() { SetUiServices(this); }
    ~FakeUi() override { SetUiServices(nullptr); }
    int MessageBox(const QString& text, const QString&, uint32_t) override {
        boxes.push_back(text);
        if (onBox) onBox();
        return boxAnswer;
    }
    QString GetOpenFileName(const QString&, const QString&, const QString&) override {
        return openPath;
    }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseOpenFile(const QString&, const QString& start, const QString&,
                           int& filter) override {
        openStart = start;
        openFilter = filter;
        return openPath;
    }
    void Beep() override { ++beeps; }
    void SetWaitCursor(bool) override {}
    bool ChooseColor(uint32_t& color, uint32_t custom[16]) override {
        ++colorChoosers;
        startColor = color;
        customTable = custom;
        if (!chosenColor) return false;
        color = *chosenColor;
        return true;
    }
    bool ChooseFontWithColor(LogFont& font, uint32_t& color, int minPoints,
                             int maxPoints) override {
        fontRange = {minPoints, maxPoints};
        startFontColor = color;
        return answerFont && answerFont(font, color);
    }

    int boxAnswer = IDOK;
    // Called as each box shows, to see the state behind it.
    std::function<void()> onBox;
    int beeps = 0;
    std::vector<QString> boxes;
    QString openPath;
    QString openStart; // where the last file chooser started
    int openFilter = 0;
    int colorChoosers = 0;
    uint32_t startColor = 0;
    uint32_t* customTable = nullptr;
    std::optional<uint32_t> chosenColor;
    std::pair<int, int> fontRange{0, 0};
    uint32_t startFontColor = 0;
    // Answers the font chooser; none cancels it.
    std::function<bool(LogFont&, uint32_t&)> answerFont;
};

// Compares with the golden PNG of tests/data/dialogs; VORLANE_UPDATE_GOLDENS=1 rewrites it.
inline void ExpectGolden(const QImage& image, const std::string& name) {
    const QString path = QString(VORLANE_TEST_DATA "/dialogs/") + QString::fromStdString(name);
    if (qEnvironmentVariableIsSet("VORLANE_UPDATE_GOLDENS")) {
        ASSERT_TRUE(image.save(path));
        return;
    }
    QImage golden(path);
    ASSERT_FALSE(golden.isNull()) << "missing golden " << name;
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    golden = golden.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(actual, golden) << name;
    if (actual != golden) actual.save(QString::fromStdString(name + ".actual.png"));
}

} // namespace vl::dialogtest
