#include "VeskToolButtonRow.h"

#include <QBoxLayout>
#include <QPushButton>

VeskToolButtonRow::VeskToolButtonRow(QBoxLayout *layout, int firstPosition)
    : m_layout(layout)
    , m_next(firstPosition)
{
}

QPushButton *VeskToolButtonRow::add(const QString &title)
{
    auto *button = new QPushButton(title, m_layout->parentWidget());
    button->setAutoDefault(false);
    m_layout->insertWidget(m_next++, button);
    return button;
}
