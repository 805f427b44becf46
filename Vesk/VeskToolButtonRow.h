#pragma once

class QBoxLayout;
class QPushButton;
class QString;

/// The place in a window's row of buttons where commands from outside the window add
/// their buttons: each new one goes after the ones added before it.
class VeskToolButtonRow {
public:
    VeskToolButtonRow() = default;
    VeskToolButtonRow(QBoxLayout *layout, int firstPosition);

    QPushButton *add(const QString &title);

private:
    QBoxLayout *m_layout = nullptr;
    int m_next = 0;
};
