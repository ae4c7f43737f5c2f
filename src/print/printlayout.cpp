#include "printlayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QStringList>

QString PageSettings::record() const
{
    return QStringList{QString::number(orientation), QString::number(paperSize), QString::number(left),
                       QString::number(top),         QString::number(right),     QString::number(bottom)}
        .join(QLatin1Char(';'));
}

PageSettings PageSettings::fromRecord(const QString& record)
{
    PageSettings page;
    const QStringList fields = record.split(QLatin1Char(';'));
    auto number = [&fields](int i, double fallback) {
        bool ok = false;
        const double value = fields.value(i).toDouble(&ok);
        return ok && value >= 0 ? value : fallback;
    };
    page.orientation = number(0, page.orientation) == 2 ? 2 : 1;
    page.paperSize = int(number(1, page.paperSize));
    page.left = number(2, page.left);
    page.top = number(3, page.top);
    page.right = number(4, page.right);
    page.bottom = number(5, page.bottom);
    return page;
}

QPageLayout PageSettings::pageLayout() const
{
    QPageSize size(QPageSize::id(paperSize));
    if (!size.isValid())
        size = QPageSize(QPageSize::A4);
    return QPageLayout(size, orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(left, top, right, bottom), QPageLayout::Millimeter);
}

void PageSettings::setPageLayout(const QPageLayout& layout)
{
    orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    paperSize = layout.pageSize().windowsId();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    left = margins.left();
    top = margins.top();
    right = margins.right();
    bottom = margins.bottom();
}

PrintLayout PrintLayout::fromHeadingLines(const std::array<QString, 7>& lines)
{
    PrintLayout layout;
    QFont titleFont;
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    double y = 0;
    for (int i = 0; i < int(lines.size()); ++i) {
        HeadingLabel label;
        label.text = lines[size_t(i)];
        label.pos = QPointF(0, y);
        if (i == 0) {
            label.font = titleFont.toString();
            label.centered = true;
        }
        if (!label.text.isEmpty())
            y += i == 0 ? 36 : 20;
        layout.labels.append(label);
    }
    return layout;
}

double PrintLayout::headingHeight() const
{
    double bottom = 0;
    for (const HeadingLabel& label : labels) {
        if (label.hidden || label.text.isEmpty())
            continue;
        const QFontMetricsF metrics(LIB_PrintFont(label.font, QFont()));
        bottom = std::max(bottom, label.pos.y() + metrics.height());
    }
    return bottom > 0 ? bottom + 8 : 0;
}

QString PrintLayout::labelText(int index) const
{
    if (index < 0 || index >= labels.size() || labels.at(index).hidden)
        return {};
    return labels.at(index).text;
}

QFont LIB_PrintFont(const QString& description, const QFont& fallback)
{
    QFont font = fallback;
    if (!description.isEmpty())
        font.fromString(description);
    return font;
}
