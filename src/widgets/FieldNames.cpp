#include "widgets/FieldNames.h"

#include <QGroupBox>
#include <QLabel>

namespace vorelle {

namespace {

// A form's text as a name's part: without the blanks around it and the colon
// that ends a label.
QString NamePart(const QString& text)
{
    QString part = text.trimmed();
    if (part.endsWith(QLatin1Char(':')))
        part.chop(1);
    return part;
}

}  // namespace

void NameByRowAndColumn(QWidget& field, const QString& row, const QString& column)
{
    field.setAccessibleName(NamePart(row) + QStringLiteral(": ") + NamePart(column).toLower());
}

QString LabelTextOf(const QWidget& field)
{
    const QWidget* form = field.parentWidget();
    if (!form)
        return {};
    for (const QLabel* label : form->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == &field)
            return label->text();
    return {};
}

QString GroupTitleOf(const QWidget& field)
{
    const auto* group = qobject_cast<const QGroupBox*>(field.parentWidget());
    return group ? group->title() : QString();
}

}  // namespace vorelle
