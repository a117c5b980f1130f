#include "TRecordPanel.h"

#include "TContent.h"
#include "TRecordGrid.h"
#include "UvoColors.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

// The caption bar folds and unfolds its panel when clicked.
class TCaptionBar : public QLabel {
public:
    TCaptionBar(const QString& text, TRecordPanel& panel) : QLabel(text, &panel), FPanel(panel)
    {
        setObjectName(QStringLiteral("CaptionBar"));
        QFont font(QStringLiteral("Courier New"));
        font.setPixelSize(16);
        font.setBold(true);
        setFont(font);
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, UvoColors::PanelCaption);
        setPalette(colours);
        setTextFormat(Qt::PlainText);
        setIndent(4);
        setFixedHeight(QFontMetrics(font).height() + 6);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            FPanel.SetCollapsed(!FPanel.Collapsed());
        QLabel::mousePressEvent(event);
    }

private:
    TRecordPanel& FPanel;
};

QString Hyphens(qint32 level) { return QString(4 * std::max(0, level - 1), QLatin1Char('-')); }

QString CaptionSuffix(const TContentRec& first, const QString& filterAccount)
{
    const TFormat& format = *first.Format;
    if (first.Rec == format.AccountRec)
        return filterAccount;
    if (first.Rec == format.ConsumerRec)
        return first.GetVal(UvoIds::SurnameFld) + QLatin1Char(' ') + first.GetVal(UvoIds::FirstNameFld);
    return {};
}

}  // namespace

TRecordPanel::TRecordPanel(const QString& caption, const TContentRec& first, QWidget* parent)
    : QWidget(parent), FCaptionBar(new TCaptionBar(caption, *this)), FGrid(new TRecordGrid(first, this))
{
    setObjectName(QStringLiteral("RecordPanel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(FCaptionBar);
    column->addWidget(FGrid, 1);
}

QString TRecordPanel::CaptionFor(const TContentRec& first, const std::optional<QString>& filterAccount)
{
    QString caption = Hyphens(first.Rec->Level) + QString(first.Rec->Name).remove(QStringLiteral(" Record"));
    if (filterAccount) {
        const QString suffix = CaptionSuffix(first, *filterAccount);
        if (!suffix.isEmpty())
            caption += QStringLiteral(" - ") + suffix;
    }
    return caption;
}

QString TRecordPanel::Caption() const { return FCaptionBar->text(); }

int TRecordPanel::CaptionHeight() const { return FCaptionBar->minimumHeight(); }

void TRecordPanel::SetExpandedHeight(int height)
{
    FExpandedHeight = height;
    SetCollapsed(FCollapsed);
}

void TRecordPanel::SetCollapsed(bool collapsed)
{
    FCollapsed = collapsed;
    FGrid->setVisible(!collapsed);
    setFixedHeight(collapsed ? CaptionHeight() : FExpandedHeight);
}
