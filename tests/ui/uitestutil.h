#pragma once
// Doubles of the dialog kit's users: UI services that answer at once, a clock moved by hand,
// and a decimal-comma locale.

#include "core/clock.h"
#include "model/cellrange.h"
#include "ui/uiservices.h"

#include <QPoint>
#include <QString>
#include <clocale>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vl::uitest {

class FakeClock : public IClock {
public:
    int64_t NowSeconds() const override { return now; }
    int64_t now = 1000000;
};

class FakeUi : public IUiServices {
public:
    FakeUi() { SetUiServices(this); }
    ~FakeUi() override { SetUiServices(nullptr); }
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override {
        boxes.push_back({text, title, flags});
        if (answers.empty()) return IDOK;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    QString GetOpenFileName(const QString&, const QString&, const QString&) override {
        return openPath;
    }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override {
        return savePath;
    }
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        if (realFileDialogs) return IUiServices::ChooseOpenFile(caption, folder, filters, index);
        index = openIndex;
        return openPath;
    }
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        ++saveDialogs;
        if (realFileDialogs) return IUiServices::ChooseSaveFile(caption, folder, filters, index);
        index = saveIndex;
        return savePath;
    }
    int WaitForFile(const QString& path, const IClock&,
                    const std::function<bool()>& retry) override {
        waits.push_back(path);
        for (int i = 0; i < waitRetries; ++i) {
            if (clock) ++clock->now;
            if (onRetry) onRetry(i + 1);
            if (retry()) return IDOK;
        }
        return IDCANCEL;
    }
    int AskPassword(bool, QString& typed, bool& readOnly) override {
        ++passwordAsks;
        readOnly = false;
        if (password.isEmpty()) return IDCANCEL;
        typed = password;
        return IDOK;
    }
    int TextFileDialog(TextFileSettings& settings, bool save) override {
        textDialogs.push_back(save);
        return textAnswer ? textAnswer(settings, save) : IDOK;
    }
    int XBaseDialog(XBaseSaveOptions& options, const QString& path, bool save) override {
        xbaseDialogs.push_back({path, save});
        return xbaseAnswer ? xbaseAnswer(options, save) : IDOK;
    }
    int AskBookmarkName(QString& name) override {
        if (bookmarkName.isEmpty()) return IDCANCEL;
        name = bookmarkName;
        return IDOK;
    }
    void Beep() override { ++beeps; }
    void SetWaitCursor(bool) override {}
    // The format and settings commands' dialogs: each answers through its function (none:
    // the dialog is missing, as without the dialogs library).
    int ChangeSizeDialog(QWidget*, bool columnWidth, int& value) override {
        sizeAsks.push_back({columnWidth, value});
        if (sizeAnswer < 0) return IDCANCEL;
        value = sizeAnswer;
        return IDOK;
    }
    bool HasChangeSizeDialog() const override { return true; }
    int OptionsDialog(QWidget*) override { return options ? options() : IDCANCEL; }
    bool HasOptionsDialog() const override { return bool(options); }
    int ProtectionDialog(QWidget*, ProtectionChoice& choice) override {
        return protection ? protection(choice) : IDCANCEL;
    }
    bool HasProtectionDialog() const override { return bool(protection); }
    int StatisticsDialog(QWidget*, CWorkbook&, const CellRange& selection) override {
        statistics.push_back(selection);
        return IDOK;
    }
    bool HasStatisticsDialog() const override { return true; }
    bool ZoomDialog(QWidget*, const QPoint& at, uint16_t zoom,
                    const std::function<void(uint16_t, bool)>& apply) override {
        zoomAt = at;
        zoomShown = zoom;
        zoomApply = apply;
        return true;
    }
    bool HasZoomDialog() const override { return true; }

    struct SizeAsk {
        bool columnWidth;
        int value;
    };
    std::vector<SizeAsk> sizeAsks;
    int sizeAnswer = -1; // -1 cancels
    std::function<int()> options;
    std::function<int(ProtectionChoice&)> protection;
    std::vector<CellRange> statistics;
    QPoint zoomAt;
    uint16_t zoomShown = 0;
    std::function<void(uint16_t, bool)> zoomApply;

    struct Box {
        QString text, title;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;
    QString openPath, savePath;
    int openIndex = 1;
    int saveIndex = 1;
    int saveDialogs = 0;
    // Open and Save As show Qt's real file dialog, which the test answers itself.
    bool realFileDialogs = false;
    // The wait: how many retries it allows before the user gives up (IDCANCEL).
    int waitRetries = 0;
    std::function<void(int)> onRetry; // called before each retry with its number (from 1)
    std::vector<QString> waits;
    FakeClock* clock = nullptr; // moved a second per retry
    QString password;
    int passwordAsks = 0;
    QString bookmarkName; // empty: the name dialog is cancelled
    // The text-file and xBase option dialogs: shown (save flags, paths), and their answers
    // (none: IDOK with the settings as they stand).
    std::vector<bool> textDialogs;
    std::vector<std::pair<QString, bool>> xbaseDialogs;
    std::function<int(TextFileSettings&, bool)> textAnswer;
    std::function<int(XBaseSaveOptions&, bool)> xbaseAnswer;
    int beeps = 0;
};

// Runs a block under a decimal-comma C locale, then puts the C locale back.
class CommaLocale {
public:
    CommaLocale() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    bool active_;
};

} // namespace vl::uitest
