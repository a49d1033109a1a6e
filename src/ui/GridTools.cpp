#include "ui/GridTools.h"

#include "forms/Grid.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmira::ui {

ColumnChooser::ColumnChooser(forms::Grid& grid, QWidget* parent)
    : QDialog(parent)
    , m_grid(grid)
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Columnas visibles"));
    for (int c = 0; c < grid.columnCount(); ++c) {
        const forms::ColumnDef& def = grid.columnDef(c);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  (%2)").arg(QString::fromStdString(def.caption), QString::fromStdString(def.name)),
            m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(def.visible ? Qt::Checked : Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(360, 480);
}

void ColumnChooser::apply()
{
    for (int c = 0; c < m_list->count() && c < m_grid.columnCount(); ++c)
        m_grid.col(c).setVisible(m_list->item(c)->checkState() == Qt::Checked);
}

} // namespace tesmira::ui
