#include "VeskConsoleWindow.h"

#include "base/VeskConsole.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

VeskConsoleWindow::VeskConsoleWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_console(VeskConsole::sharedInstance())
    , m_log(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Console"));
    resize(760, 420);
    QFont font(QStringLiteral("Courier"), 12);
    font.setStyleHint(QFont::TypeWriter);
    m_log->setFont(font);
    m_log->setReadOnly(true);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setUndoRedoEnabled(false);
    auto *clear = new QPushButton(tr("Clear"), this);
    connect(clear, &QPushButton::clicked, m_console, &VeskConsole::Reset);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_log);
    layout->addWidget(clear, 0, Qt::AlignRight);
    connect(
        m_console, &VeskConsole::stringAdded, this, [this] { scheduleAppend(); }, Qt::DirectConnection);
    connect(
        m_console, &VeskConsole::wasReset, this, [this] { reloadAll(); }, Qt::QueuedConnection);
}

void VeskConsoleWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    reloadAll();
}

void VeskConsoleWindow::scheduleAppend()
{
    if (m_pending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pending = false;
            appendNewText();
        },
        Qt::QueuedConnection);
}

void VeskConsoleWindow::appendNewText()
{
    if (!isVisible())
        return;
    qsizetype length = 0;
    const QString added = m_console->textFrom(m_shownLength, &length);
    if (length < m_shownLength) {
        reloadAll();
        return;
    }
    m_shownLength = length;
    if (added.isEmpty())
        return;
    QTextCursor end(m_log->document());
    end.movePosition(QTextCursor::End);
    end.insertText(added);
    scrollToEnd();
}

void VeskConsoleWindow::scrollToEnd()
{
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void VeskConsoleWindow::reloadAll()
{
    if (!isVisible())
        return;
    const QString text = m_console->text();
    m_shownLength = text.size();
    m_log->setPlainText(text);
    scrollToEnd();
}
