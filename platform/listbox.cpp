// The list box: a table of rows under a heading row, its columns sized by percentages of its
// width.

#include "platform/controls.h"

#include "platform/application.h"
#include "platform/internal/control_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"

#include <QHeaderView>
#include <QTableWidget>

#include <string>
#include <vector>

namespace platform {

using detail::qs;
using detail::ss;
using detail::widgetOf;

namespace {

// A list box's table: columns sized by percentages of its width.
class ListWidget : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    std::vector<double> percents;

    void applyWidths()
    {
        const int total = viewport()->width();
        for (int c = 0; c < columnCount() && c < static_cast<int>(percents.size()); ++c)
            setColumnWidth(c, static_cast<int>(total * percents[static_cast<size_t>(c)] / 100.0));
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTableWidget::resizeEvent(event);
        applyWidths();
    }
};

} // namespace

ListBox::ListBox(const detail::ControlContext& context) : Control(context)
{
    auto* table = new ListWidget(context.window->content);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionsClickable(true);
    table->setSortingEnabled(false);
    table->setWordWrap(false);
    d->attach(table);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, table,
                     [this] { runGuarded(onDoubleClick); });
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table,
                     [this](int column) {
                         if (onSortColumn) {
                             auto handler = onSortColumn;
                             runGuardedResult([handler, column] { return handler(column); });
                         }
                     });
}

void ListBox::setColumns(const std::vector<std::string>& headings, std::string_view widths)
{
    auto* table = widgetOf<ListWidget>(*this);
    table->setColumnCount(static_cast<int>(headings.size()));
    QStringList labels;
    for (const std::string& h : headings)
        labels << qs(h);
    table->setHorizontalHeaderLabels(labels);
    table->percents.clear();
    for (const QString& part : qs(widths).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString p = part.trimmed();
        p.remove(QLatin1Char('%'));
        table->percents.push_back(p.toDouble());
    }
    table->applyWidths();
}

void ListBox::setColumnAlignment(int32_t column, Alignment alignment)
{
    auto* table = widgetOf<ListWidget>(*this);
    table->setProperty(("align" + std::to_string(column)).c_str(), static_cast<int>(alignment));
    for (int r = 0; r < table->rowCount(); ++r)
        if (QTableWidgetItem* item = table->item(r, column))
            item->setTextAlignment(detail::qtAlignment(alignment));
}

void ListBox::setGridLines(bool grid)
{
    widgetOf<ListWidget>(*this)->setShowGrid(grid);
}

void ListBox::addRow(std::string_view text)
{
    auto* table = widgetOf<ListWidget>(*this);
    const int row = table->rowCount();
    table->insertRow(row);
    setCell(row, 0, text);
}

void ListBox::setCell(int32_t row, int32_t column, std::string_view text)
{
    auto* table = widgetOf<ListWidget>(*this);
    if (row < 0 || row >= table->rowCount() || column < 0 || column >= table->columnCount())
        return;
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        const QVariant align = table->property(("align" + std::to_string(column)).c_str());
        if (align.isValid())
            item->setTextAlignment(detail::qtAlignment(static_cast<Alignment>(align.toInt())));
        table->setItem(row, column, item);
    }
    item->setText(qs(text));
}

std::string ListBox::cell(int32_t row, int32_t column) const
{
    const auto* table = widgetOf<ListWidget>(*this);
    const QTableWidgetItem* item = table->item(row, column);
    return item ? ss(item->text()) : std::string();
}

int32_t ListBox::rowCount() const
{
    return widgetOf<ListWidget>(*this)->rowCount();
}
void ListBox::deleteAllRows()
{
    widgetOf<ListWidget>(*this)->setRowCount(0);
}

int32_t ListBox::listIndex() const
{
    const auto* table = widgetOf<ListWidget>(*this);
    const QList<QTableWidgetItem*> selected = table->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void ListBox::setListIndex(int32_t row)
{
    auto* table = widgetOf<ListWidget>(*this);
    if (row < 0 || row >= table->rowCount())
        table->clearSelection();
    else
        table->selectRow(row);
}

} // namespace platform
