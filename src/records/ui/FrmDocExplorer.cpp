#include "records/ui/FrmDocExplorer.h"

#include "equipment/store/EquipmentStore.h"
#include "locations/store/LocationStore.h"
#include "platform/CutTextTips.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/KeyStatusBar.h"
#include "platform/LabelEntry.h"
#include "platform/ListChoice.h"
#include "platform/Navigator.h"
#include "platform/OpenWindow.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kNameColumn = 1; // of the active location rows
const QString kDefaultSort = QStringLiteral("EquipmentType");

// A label above its view, both filling their side of the splitter.
QWidget* labelled(const char* name, const QString& caption, QWidget* view) {
    auto* side = new QWidget;
    auto* label = makeBuddyLabel(side, caption, view);
    label->setObjectName(QLatin1String(name));
    view->setParent(side);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(view, 1);
    return side;
}
} // namespace

FrmDocExplorer::FrmDocExplorer(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_tree(new QTreeWidget), m_list(new ReportList),
      m_splitter(new QSplitter(Qt::Horizontal, this)), m_status(new KeyStatusBar(*ctx.clock, this)) {
    setObjectName(QStringLiteral("FrmDocExplorer"));
    m_tree->setObjectName(QStringLiteral("TreClassView"));
    m_tree->setAccessibleName(QStringLiteral("Locations"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    showCutTextInToolTips(m_tree);
    // Labels are edited with F2 only, as the key is released; a double click chooses the location.
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->installEventFilter(this);
    m_list->setObjectName(QStringLiteral("LstStudenInformation"));
    m_list->setAccessibleName(QStringLiteral("Equipment Listing"));
    offerUnitLabels(m_list, m_ctx);

    m_splitter->addWidget(labelled("LblClassAndSection", QStringLiteral("Locations"), m_tree));
    m_splitter->addWidget(labelled("LblStudentInformation", QStringLiteral("Equipment Listing"), m_list));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setHandleWidth(Twips::toPixelsX(45, this));
    m_splitter->handle(1)->setObjectName(QStringLiteral("Picture1"));
    m_splitter->handle(1)->setCursor(Qt::SizeHorCursor);
    m_status->setObjectName(QStringLiteral("StatusBar1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_status);
    resize(Twips::toPixelsX(11520, this), Twips::toPixelsY(7200, this));
    m_splitter->setSizes({Twips::toPixelsX(3000, this), Twips::toPixelsX(8400, this)});

    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { chooseLocation(); });
    connect(m_list, &ReportList::headerClicked, this, [this](int column) {
        if (m_list->rowCount() == 0)
            return;
        const QString key = m_list->columnTag(column);
        guarded(*m_ctx.dialogs, this, [&] { PopulateEquipmentList(key); });
    });
    // A double click that opens nothing stays silent; Enter tells of too many windows.
    opensRowWindows(
        m_list, [this](int row, OnTooManyWindows how) { return openDetail(row, how); }, OnTooManyWindows::Ignore,
        OnTooManyWindows::Report);
}

void FrmDocExplorer::load() {
    setWindowTitle(captionFor(QStringLiteral("Location Explorer")));
    m_tree->clear();
    for (const ListRow& row : LocationStore(*m_ctx.db).activeLocations())
        AddLocationNode(row.tag.toLongLong(), row.cells.value(kNameColumn));
}

void FrmDocExplorer::AddLocationNode(qint64 id, const QString& name) {
    auto* node = new QTreeWidgetItem({name});
    // The count of nodes before this one keeps keys unique, also for two locations of the same name.
    node->setData(0, KeyRole, QStringLiteral("%1 %2").arg(id).arg(m_tree->topLevelItemCount()));
    node->setData(0, TagRole, QString::number(id));
    node->setData(0, NameRole, name);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    m_tree->addTopLevelItem(node);
}

void FrmDocExplorer::chooseLocation() {
    const QTreeWidgetItem* node = chosenItem(m_tree);
    if (!node)
        return;
    m_chosen = node->data(0, TagRole).toLongLong();
    guarded(*m_ctx.dialogs, this, [&] { PopulateEquipmentList(kDefaultSort); });
}

void FrmDocExplorer::PopulateEquipmentList(const QString& sortColumn) {
    m_list->setColumns(EquipmentStore::locationListColumns());
    m_list->setRows(EquipmentStore(*m_ctx.db).activeAt(m_chosen, SortOrder{sortColumn, false}),
                    EquipmentStore::locationListColumns());
}

bool FrmDocExplorer::openDetail(int row, OnTooManyWindows how) {
    return m_ctx.navigator->equipmentDetail(this, m_list->text(row, QStringLiteral("EquipmentId")).toLongLong(),
                                            m_list->text(row, QStringLiteral("SerialNumber")), how);
}

bool FrmDocExplorer::eventFilter(QObject* watched, QEvent* event) {
    const auto isEnter = [](const QKeyEvent* key) {
        return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    };
    if (watched == m_tree && event->type() == QEvent::KeyPress)
        m_enterPressed = isEnter(static_cast<QKeyEvent*>(event));
    if (watched == m_tree && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        QTreeWidgetItem* node = m_tree->currentItem();
        if (node && key->key() == Qt::Key_F2) {
            m_tree->editItem(node);
        } else if (node && key->key() == Qt::Key_Escape) {
            // An edited label changes only the screen; Esc shows the stored name again.
            node->setText(0, node->data(0, NameRole).toString());
        } else if (isEnter(key) && m_enterPressed && !key->isAutoRepeat()) {
            // Enter chooses the location as a double click does, for the keyboard.
            m_enterPressed = false;
            chooseLocation();
        }
    }
    return QWidget::eventFilter(watched, event);
}
