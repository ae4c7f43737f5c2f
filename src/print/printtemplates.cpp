#include "printtemplates.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace PrintTemplates {

namespace {

const QString HiddenLabelText = QStringLiteral("隐藏");
const QStringList ItemHeadings = {QStringLiteral("输出项"), QStringLiteral("列宽"), QStringLiteral("打印"),
                                  QStringLiteral("排序")};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject columnJson(const PrintColumn& c)
{
    return QJsonObject{
        {QStringLiteral("source"), c.source},       {QStringLiteral("heading"), c.heading},
        {QStringLiteral("cnMarc"), c.cnMarc},       {QStringLiteral("usMarc"), c.usMarc},
        {QStringLiteral("width"), c.width},         {QStringLiteral("alignment"), c.alignment},
        {QStringLiteral("textStyle"), c.textStyle}, {QStringLiteral("font"), c.font},
        {QStringLiteral("color"), c.color},         {QStringLiteral("hidden"), c.hidden},
        {QStringLiteral("merged"), c.merged},       {QStringLiteral("sortChoice"), c.sortChoice}};
}

PrintColumn columnFromJson(const QJsonObject& o)
{
    PrintColumn c;
    c.source = o.value(QStringLiteral("source")).toInt(-1);
    c.heading = o.value(QStringLiteral("heading")).toString();
    c.cnMarc = o.value(QStringLiteral("cnMarc")).toString();
    c.usMarc = o.value(QStringLiteral("usMarc")).toString();
    c.width = o.value(QStringLiteral("width")).toInt(100);
    c.alignment = o.value(QStringLiteral("alignment")).toInt(c.alignment);
    c.textStyle = o.value(QStringLiteral("textStyle")).toInt();
    c.font = o.value(QStringLiteral("font")).toString();
    c.color = o.value(QStringLiteral("color")).toString();
    c.hidden = o.value(QStringLiteral("hidden")).toBool();
    c.merged = o.value(QStringLiteral("merged")).toBool();
    c.sortChoice = o.value(QStringLiteral("sortChoice")).toInt();
    return c;
}

QJsonObject labelJson(const HeadingLabel& l)
{
    QJsonObject o{{QStringLiteral("text"), l.hidden ? HiddenLabelText : l.text},
                  {QStringLiteral("font"), l.font},
                  {QStringLiteral("color"), l.color},
                  {QStringLiteral("x"), l.pos.x()},
                  {QStringLiteral("y"), l.pos.y()},
                  {QStringLiteral("centered"), l.centered}};
    if (l.hidden) {
        o.insert(QStringLiteral("tag"), QStringLiteral("Hide"));
        o.insert(QStringLiteral("hiddenText"), l.text);
    }
    return o;
}

HeadingLabel labelFromJson(const QJsonObject& o)
{
    HeadingLabel l;
    l.hidden = o.value(QStringLiteral("tag")).toString() == QLatin1String("Hide");
    l.text = l.hidden ? o.value(QStringLiteral("hiddenText")).toString()
                      : o.value(QStringLiteral("text")).toString();
    l.font = o.value(QStringLiteral("font")).toString();
    l.color = o.value(QStringLiteral("color")).toString();
    l.pos = QPointF(o.value(QStringLiteral("x")).toDouble(), o.value(QStringLiteral("y")).toDouble());
    l.centered = o.value(QStringLiteral("centered")).toBool();
    return l;
}

} // namespace

QString gridPath(const QString& cfgDirectory, const QString& report)
{
    return cfgDirectory + QStringLiteral("打印配置1/") + report;
}

QString stylePath(const QString& cfgDirectory, const QString& report)
{
    return cfgDirectory + QStringLiteral("打印配置2/") + report;
}

QString itemsPath(const QString& cfgDirectory, const QString& report)
{
    return stylePath(cfgDirectory, report) + QStringLiteral(".txt");
}

QString itemsText(const QList<PrintColumn>& columns)
{
    auto line = [](const QStringList& cells) -> QString {
        QString text;
        for (QString cell : cells)
            text += cell.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')) + QLatin1Char('|');
        return text + QStringLiteral("\r\n");
    };
    QString text = line(ItemHeadings);
    for (const PrintColumn& c : columns)
        text += line({c.heading, QString::number(c.width),
                      c.hidden ? QStringLiteral("0") : QStringLiteral("-1"), QString::number(c.sortChoice)});
    return text;
}

void applyItemsText(const QString& text, QList<PrintColumn>& columns)
{
    QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst(); // the item grid's title row
    for (int i = 0; i < lines.size() && i < columns.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('|'));
        if (cells.size() < 4)
            continue;
        columns[i].hidden = columns[i].hidden || cells.at(2) != QLatin1String("-1");
        columns[i].sortChoice = std::clamp(cells.at(3).toInt(), 0, 2);
    }
}

int save(const QString& cfgDirectory, const QString& report, const Template& arrangement)
{
    QJsonArray columns;
    for (const PrintColumn& c : arrangement.columns)
        columns.append(columnJson(c));
    const QJsonObject grid{{QStringLiteral("columns"), columns},
                           {QStringLiteral("gridLines"), arrangement.layout.gridLines}};
    QJsonArray labels;
    for (const HeadingLabel& l : arrangement.layout.labels)
        labels.append(labelJson(l));
    const QJsonObject style{{QStringLiteral("labels"), labels},
                            {QStringLiteral("page"), arrangement.layout.page.record()}};
    const bool written = writeFile(gridPath(cfgDirectory, report), QJsonDocument(grid).toJson()) &&
                         writeFile(stylePath(cfgDirectory, report), QJsonDocument(style).toJson()) &&
                         writeFile(itemsPath(cfgDirectory, report), itemsText(arrangement.columns).toUtf8());
    return written ? 0 : -1;
}

bool load(const QString& cfgDirectory, const QString& report, const Template& current, Template& applied)
{
    if (report.isEmpty() || !QFile::exists(gridPath(cfgDirectory, report)))
        return false;
    const QJsonObject grid = readJson(gridPath(cfgDirectory, report));
    applied = current;
    applied.columns.clear();
    QList<bool> placed(current.columns.size(), false);
    for (const QJsonValue& value : grid.value(QStringLiteral("columns")).toArray()) {
        PrintColumn column = columnFromJson(value.toObject());
        if (column.source >= 0) {
            const auto known =
                std::find_if(current.columns.begin(), current.columns.end(),
                             [&column](const PrintColumn& c) { return c.source == column.source; });
            if (known == current.columns.end())
                continue;
            placed[known - current.columns.begin()] = true;
            column.hidden = column.hidden || known->hidden;
        }
        applied.columns.append(column);
    }
    for (int c = 0; c < current.columns.size(); ++c)
        if (!placed.at(c))
            applied.columns.append(current.columns.at(c));
    applied.layout.gridLines = grid.value(QStringLiteral("gridLines")).toBool(true);

    QFile items(itemsPath(cfgDirectory, report));
    if (items.open(QIODevice::ReadOnly))
        applyItemsText(QString::fromUtf8(items.readAll()), applied.columns);

    const QJsonObject style = readJson(stylePath(cfgDirectory, report));
    const QJsonArray labels = style.value(QStringLiteral("labels")).toArray();
    for (int i = 0; i < labels.size(); ++i) {
        HeadingLabel label = labelFromJson(labels.at(i).toObject());
        if (i < 7 && i < applied.layout.labels.size()) {
            label.text = applied.layout.labels.at(i).text; // the lines of this printout
            applied.layout.labels[i] = label;
        } else if (i >= 7) {
            applied.layout.labels.append(label);
        }
    }
    if (style.contains(QStringLiteral("page")))
        applied.layout.page = PageSettings::fromRecord(style.value(QStringLiteral("page")).toString());
    return true;
}

} // namespace PrintTemplates
