#pragma once

#include "readers/VeskPreviewContents.h"

#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

#include <optional>

/// The floating quick-look panel: borderless, slightly translucent, above its owner
/// window, never taking the keyboard from the view that opened it. It shows one
/// preview contents, or "No objects for preview" when it has none.
class VeskMediafileViewerPreviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit VeskMediafileViewerPreviewPanel(QWidget *owner = nullptr);

    static VeskPreviewContents defaultContents();
    /// Shows the contents, or the default contents for none or an empty text.
    void updateContentsWith(const std::optional<VeskPreviewContents> &contents);
    /// Places the panel at `from`, brings it to the front and grows it to `to`.
    void animateFrom(const QRect &from, const QRect &to, bool animate);
    const VeskPreviewContents &contents() const { return m_contents; }
    /// Hides the panel, also stopping a running animation.
    void hidePanel();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followApplicationState(Qt::ApplicationState state);

    VeskPreviewContents m_contents;
    QPointer<QWidget> m_container;
    QPropertyAnimation m_animation;
    bool m_hiddenWhileInactive = false;
};
