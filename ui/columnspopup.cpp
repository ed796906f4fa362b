#include "columnspopup.h"

#include "boxtext.h"
#include "columnselection.h"
#include "messagetexts.h"
#include "tabstopdelegate.h"
#include "utf16.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace lanshan {

using namespace Qt::StringLiterals;

namespace {

// Columns are offered up to here, named or not; more can be typed.
constexpr std::size_t offeredColumns = 50;
constexpr std::size_t nameLength = 20;

} // namespace

ColumnsPopup::ColumnsPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(u"columnsPopup"_s);
    setFrameShape(QFrame::StyledPanel);
    m_prompt = new QLabel(u"复制哪几列（如 3、2-4、1,3；留空为整行），按 Enter："_s, this);
    m_box = new QComboBox(this);
    m_box->setObjectName(u"columnsBox"_s);
    m_box->setEditable(true);
    m_box->setInsertPolicy(QComboBox::NoInsert);
    // A pasted list is taken whole and judged by the parser, never cut at a length of the box's.
    m_box->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    m_box->setAccessibleName(u"复制哪几列"_s);
    // A selected column reads on every style's selection.
    m_box->setItemDelegate(new TabStopDelegate(m_box));
    m_prompt->setBuddy(m_box);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(u"columnsRefusal"_s);
    m_refusal->setWordWrap(true);
    m_refusal->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_box);
    layout->addWidget(m_refusal);
    connect(m_box->lineEdit(), &QLineEdit::returnPressed, this, &ColumnsPopup::hand);
}

ColumnsPopup::~ColumnsPopup() = default;

void ColumnsPopup::offer(const std::vector<std::u16string> &names, std::size_t widest, const QString &current)
{
    m_box->clear();
    m_names = names;
    const std::size_t count = std::min(names.empty() ? widest : names.size(), offeredColumns);
    for (std::size_t i = 0; i < count; ++i) {
        const QString number = QString::number(i + 1);
        const QString name = i < names.size() ? toQString(cutForDisplay(names[i], nameLength)) : QString();
        m_box->addItem(name.isEmpty() ? number : number + u' ' + name, number);
    }
    m_box->setCurrentIndex(-1);
    m_box->setEditText(current);
    m_box->lineEdit()->selectAll();
    m_refusal->hide();
}

void ColumnsPopup::openAbove(QWidget *anchor)
{
    adjustSize();
    resize(std::max(width(), anchor->width() * 3), height());
    // Right edge on the anchor's, just above it, inside the screen.
    QPoint at = anchor->mapToGlobal(QPoint(anchor->width() - width(), -height()));
    if (const QScreen *screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    m_box->setFocus();
}

void ColumnsPopup::setPrompt(const QString &prompt)
{
    m_prompt->setText(prompt);
}

void ColumnsPopup::refuse(const QString &why)
{
    m_refusal->setText(why);
    m_refusal->show();
    adjustSize();
    m_box->lineEdit()->selectAll();
}

void ColumnsPopup::hand()
{
    // The line edit and the combo box each answer one Enter: the list goes once.
    if (isHidden())
        return;
    QString list = m_box->currentText();
    if (const int picked = m_box->findText(list, Qt::MatchExactly); picked >= 0)
        list = m_box->itemData(picked).toString();
    const ParsedColumns parsed = ColumnSelection::parse(list.toStdU16String(), m_names);
    if (!parsed.selection) {
        refuse(messageText::columnsRefused(parsed));
        return;
    }
    Q_EMIT chosen(QString::fromStdU16String(parsed.selection->text()));
}

} // namespace lanshan
