#pragma once

#include <QString>

/// What the preview panel shows for one inspector row, without the widgets: the text
/// and the way to present it.
struct VeskPreviewContents {
    enum class Style {
        /// A plain label: system font, black, no border, no background, not selectable.
        Label,
        /// A read-only text field: fixed-pitch font, bezeled, with background, selectable.
        FixedPitchText,
    };

    QString text;
    Style style = Style::Label;
};
