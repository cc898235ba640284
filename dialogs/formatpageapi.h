#pragma once
// The six format pages the frame drops down under its formatting toolbar. The frame and the
// dialogs that open a page reach them through this interface only: the dialogs library holds
// the pages, the shell gives them to its frame; while a frame has none it keeps the six page
// commands disabled. Each page applies every change at once through the callback it is
// given, with the attribute code of the change (the codes of ApplyFormatAttribute).

#include "model/dropdownlist.h"
#include "model/sheetsettings.h"
#include "model/styles.h"

#include <QPoint>
#include <array>
#include <cstdint>
#include <functional>

class QWidget;

namespace vl {

// Per compared attribute: 0 absent, 1 the same in every compared style, 2 mixed.
constexpr int kMixedFlagCount = 36;
using MixedFlags = std::array<uint8_t, kMixedFlagCount>;

// What every page is opened with: its owner, the screen point of its top-left corner (the
// lower-left corner of the toolbar button) and the mixed flags of the selection.
// The list page also tells `listRemoved`, when given, which list (1 to kDropDownLists) it
// removes and what the list held, before it applies the change.
using ListRemovedFn = std::function<void(uint16_t list, const DropDownListRecord& removed)>;

struct FormatPageRequest {
    QWidget* parent = nullptr;
    QPoint point;
    MixedFlags mixed{};
    ListRemovedFn listRemoved;
};

// Each callback returns true when the change was applied.
using ApplyNumberFormatFn = std::function<bool(const StandardFormat& format)>;
using ApplyFontFn = std::function<bool(const ColoredFont& font, uint8_t code)>;
using ApplyStyleFn = std::function<bool(const StyleRecord& style, uint8_t code)>;
using ApplyBackgroundFn = std::function<bool(const ViewSettingsRecord& view)>;

class IFormatPages {
public:
    virtual ~IFormatPages() = default;
    // Each closes the page still open and opens its own.
    virtual void OpenStylePage(const FormatPageRequest& request, const StandardFormat& format,
                               ApplyNumberFormatFn apply) = 0;
    virtual void OpenFontPage(const FormatPageRequest& request, const ColoredFont& font,
                              ApplyFontFn apply) = 0;
    virtual void OpenBorderPage(const FormatPageRequest& request, const StyleRecord& style,
                                ApplyStyleFn apply) = 0;
    virtual void OpenAlignmentPage(const FormatPageRequest& request, const StyleRecord& style,
                                   ApplyStyleFn apply) = 0;
    // `lists` are the workbook's kDropDownLists lists; the page edits them in place.
    virtual void OpenListPage(const FormatPageRequest& request, const StyleRecord& style,
                              DropDownListRecord* lists, ApplyStyleFn apply) = 0;
    virtual void OpenBackgroundPage(const FormatPageRequest& request,
                                    const ViewSettingsRecord& view, ApplyBackgroundFn apply) = 0;
    // The command of the page that is open (57696 Font, 33051 Cell, 32818 Style, 33052
    // Alignment, 33053 List, 32813 Worksheet), 0 when none: its button stays pressed.
    virtual int OpenPageCommand() const = 0;
    virtual void ClosePage() = 0;
};

} // namespace vl
