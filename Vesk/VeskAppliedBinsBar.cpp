#include "VeskAppliedBinsBar.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// More names than this are counted, not listed; the tool tip lists them all.
constexpr qsizetype kNamesShown = 4;

QString doing(VeskAvbOpDelegate::BinTag tag)
{
    switch (tag) {
    case VeskAvbOpDelegate::Intersect: return VeskAppliedBinsBar::tr("showing only media used by");
    case VeskAvbOpDelegate::Add: return VeskAppliedBinsBar::tr("also showing media used by");
    case VeskAvbOpDelegate::Subtract: return VeskAppliedBinsBar::tr("hiding media used by");
    }
    return {};
}

} // namespace

VeskAppliedBinsBar::VeskAppliedBinsBar(QWidget *parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_clear(new QPushButton(tr("Clear"), this))
{
    setObjectName(QStringLiteral("AppliedBinsBar"));
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::AlternateBase);
    setAutoFillBackground(true);
    m_text->setObjectName(QStringLiteral("AppliedBinsText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText); // bin names are file names, not markup
    m_clear->setObjectName(QStringLiteral("ClearBinsButton"));
    m_clear->setToolTip(tr("Show the list without the bins"));
    connect(m_clear, &QPushButton::clicked, this, &VeskAppliedBinsBar::clearRequested);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 3, 10, 3);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_clear);
    hide();
}

void VeskAppliedBinsBar::apply(VeskAvbOpDelegate::BinTag tag, const QStringList &bins)
{
    if (tag == VeskAvbOpDelegate::Intersect)
        m_steps.clear();
    if (m_steps.empty() || m_steps.back().tag != tag)
        m_steps.push_back({ tag, {} });
    for (const QString &bin : bins)
        if (const QString name = QFileInfo(bin).completeBaseName(); !m_steps.back().names.contains(name))
            m_steps.back().names.push_back(name);
    m_filterReset = false;
    update();
}

void VeskAppliedBinsBar::filterWasReset()
{
    m_filterReset = !m_steps.empty();
    update();
}

void VeskAppliedBinsBar::clear()
{
    m_steps.clear();
    m_filterReset = false;
    update();
}

QString VeskAppliedBinsBar::text() const
{
    return m_text->text();
}

QString VeskAppliedBinsBar::stepText(const Step &step)
{
    QStringList names = step.names.first(std::min(kNamesShown, step.names.size()));
    if (step.names.size() > kNamesShown)
        names.back() = tr("%1 and %n more", nullptr, int(step.names.size() - kNamesShown)).arg(names.back());
    return doing(step.tag) + QStringLiteral(": ") + names.join(QStringLiteral(", "));
}

void VeskAppliedBinsBar::update()
{
    QStringList steps;
    QStringList tip;
    for (const Step &step : m_steps) {
        steps.push_back(stepText(step));
        tip.push_back(doing(step.tag) + QStringLiteral(":\n    ") + step.names.join(QStringLiteral("\n    ")));
    }
    QString text = steps.join(QStringLiteral("; then "));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (m_filterReset)
        text += tr(". The filter was reset; the bins still apply until you clear them.");
    m_text->setText(text);
    setToolTip(QStringLiteral("<p style='white-space:pre'>%1</p>").arg(tip.join(QLatin1Char('\n')).toHtmlEscaped()));
    setVisible(!m_steps.empty());
}
