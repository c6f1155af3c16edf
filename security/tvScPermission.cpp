#include "tvScPermission.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScEvents.h"
#include "tvScQuery.h"
#include "tvScTexts.h"

namespace sec {
namespace {

constexpr int kEntryRole = Qt::UserRole;  // tree node -> index into FeatureIDs
constexpr int kLevelRole = Qt::UserRole;  // list item -> USER_LEVEL.ID

// A feature path is ";" + ID for every ancestor from the top down; anything else cannot
// have been written by this library and is never put into a statement.
bool WellFormedPath(const std::string& path) {
    static const QRegularExpression kPath("^(;-?[0-9]+)+$");
    return kPath.match(QString::fromStdString(path)).hasMatch();
}

std::vector<int32_t> SelectedOrUnselectedLevels(const QListWidget* list, bool selected) {
    std::vector<int32_t> ids;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->isSelected() == selected) ids.push_back(item->data(kLevelRole).toInt());
    }
    return ids;
}

}  // namespace

TfrmPermission::TfrmPermission(QWidget* owner)
    : QDialog(owner),
      lblFeatures(new QLabel(this)),
      tvFeature(new QTreeWidget(this)),
      lblPermitUsrLevel(new QLabel(this)),
      lbPermitLevel(new QListWidget(this)),
      lblAllUsrLevel(new QLabel(this)),
      lbAllLevel(new QListWidget(this)),
      bbAdd(new QPushButton(this)),
      bbRemove(new QPushButton(this)),
      bbInherit(new QPushButton(this)),
      bbClose(new QPushButton(this)),
      bbHelp(new QPushButton(this)) {
    setObjectName("TfrmPermission");
    lblFeatures->setObjectName("lblFeatures");
    tvFeature->setObjectName("tvFeature");
    lblPermitUsrLevel->setObjectName("lblPermitUsrLevel");
    lbPermitLevel->setObjectName("lbPermitLevel");
    lblAllUsrLevel->setObjectName("lblAllUsrLevel");
    lbAllLevel->setObjectName("lbAllLevel");
    bbAdd->setObjectName("bbAdd");
    bbRemove->setObjectName("bbRemove");
    bbInherit->setObjectName("bbInherit");
    bbClose->setObjectName("bbClose");
    bbHelp->setObjectName("bbHelp");

    QStyle* style = QApplication::style();
    ilTreeIcons[0] = style->standardIcon(QStyle::SP_DirClosedIcon);
    ilTreeIcons[1] = style->standardIcon(QStyle::SP_DirOpenIcon);
    tvFeature->setHeaderHidden(true);
    tvFeature->setColumnCount(1);
    tvFeature->setIconSize(QSize(16, 16));
    tvFeature->setSelectionMode(QAbstractItemView::SingleSelection);
    tvFeature->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvFeature->setMinimumSize(220, 260);
    lbPermitLevel->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbAllLevel->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbPermitLevel->setMinimumWidth(150);
    lbAllLevel->setMinimumWidth(150);
    lblFeatures->setBuddy(tvFeature);
    lblPermitUsrLevel->setBuddy(lbPermitLevel);
    lblAllUsrLevel->setBuddy(lbAllLevel);
    bbAdd->setIcon(style->standardIcon(QStyle::SP_ArrowLeft));
    bbRemove->setIcon(style->standardIcon(QStyle::SP_ArrowRight));
    for (QPushButton* b : {bbAdd, bbRemove, bbInherit, bbClose, bbHelp}) b->setAutoDefault(false);
    bbClose->setDefault(true);
    bbAdd->setEnabled(false);
    bbRemove->setEnabled(false);
    bbInherit->setEnabled(false);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(bbAdd);
    moves->addWidget(bbRemove);
    moves->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(lblFeatures, 0, 0);
    grid->addWidget(tvFeature, 1, 0);
    grid->addWidget(lblPermitUsrLevel, 0, 1);
    grid->addWidget(lbPermitLevel, 1, 1);
    grid->addLayout(moves, 1, 2);
    grid->addWidget(lblAllUsrLevel, 0, 3);
    grid->addWidget(lbAllLevel, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbInherit);
    buttons->addStretch();
    buttons->addWidget(bbClose);
    buttons->addWidget(bbHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(tvFeature, &QTreeWidget::itemSelectionChanged, this, &TfrmPermission::tvFeatureChange);
    connect(tvFeature, &QTreeWidget::itemExpanded, this, &TfrmPermission::tvFeatureExpanded);
    connect(tvFeature, &QTreeWidget::itemCollapsed, this, &TfrmPermission::tvFeatureCollapsed);
    connect(lbAllLevel, &QListWidget::itemSelectionChanged, this, &TfrmPermission::lbAllLevelClick);
    connect(lbPermitLevel, &QListWidget::itemSelectionChanged, this,
            &TfrmPermission::lbPermitLevelClick);
    connect(bbAdd, &QPushButton::clicked, this, &TfrmPermission::bbAddClick);
    connect(bbRemove, &QPushButton::clicked, this, &TfrmPermission::bbRemoveClick);
    connect(bbInherit, &QPushButton::clicked, this, &TfrmPermission::bbInheritClick);
    connect(bbClose, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

TfrmPermission::~TfrmPermission() { FormDestroy(); }

void TfrmPermission::FormCreate() {
    LogEvent(Res("Permission started."));
    setWindowTitle(Res("Permission Manager"));
    lblFeatures->setText(Res("Features:"));
    lblPermitUsrLevel->setText(Res("Permitted User Levels:"));
    lblAllUsrLevel->setText(Res("All User Levels:"));
    bbAdd->setToolTip(Res("Add the selected user levels into the list of Permitted User Levels "
                          "for the selected Feature"));
    bbRemove->setToolTip(Res("Remove the selected user levels from the list of Permitted User "
                             "Levels for the selected Feature"));
    bbInherit->setText(Res("&Apply to Subs"));
    bbInherit->setToolTip(Res("Apply to All Sub-features of the selected Feature"));
    bbClose->setText(Res("&Close"));
    bbClose->setToolTip(Res("Close the Permission Manager"));
    bbHelp->setText(Res("&Help"));

    // Lists and tree in ID order: the storage order of a table is no order at all.
    if (DataSetPtr levels = Query("SELECT * FROM USER_LEVEL ORDER BY ID")) {
        for (levels->First(); !levels->Eof(); levels->Next()) {
            auto* item = new QListWidgetItem(ToQ(FieldText(*levels, "NAME")), lbAllLevel);
            item->setData(kLevelRole, static_cast<int>(FieldInteger(*levels, "ID")));
        }
    }

    if (DataSetPtr all = Query("SELECT * FROM FEATURE"))
        FeatureIDs.reserve(static_cast<std::size_t>(std::max(all->RecordCount(), 0)));
    if (DataSetPtr top = Query("SELECT * FROM FEATURE WHERE PARENT_HIERARCHY IS NULL ORDER BY ID")) {
        for (top->First(); !top->Eof(); top->Next()) {
            const auto id = static_cast<int32_t>(FieldInteger(*top, "ID"));
            QTreeWidgetItem* node = AddFeatureNode(nullptr, id, ToQ(FieldText(*top, "DISPLAY_NAME")));
            GetBranches(node, ";" + std::to_string(id));
        }
    }
}

void TfrmPermission::FormDestroy() {
    FeatureIDs.clear();
    PermittedLevelIDs.clear();
}

QTreeWidgetItem* TfrmPermission::AddFeatureNode(QTreeWidgetItem* parent, int32_t id,
                                                const QString& name) {
    FeatureIDs.push_back(id);
    auto* node = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvFeature);
    node->setText(0, name);
    node->setIcon(0, ilTreeIcons[0]);
    node->setData(0, kEntryRole, static_cast<int>(FeatureIDs.size() - 1));
    return node;
}

void TfrmPermission::GetBranches(QTreeWidgetItem* node, const std::string& path) {
    // Children hold exactly the parent's path; every level makes the path longer, so the
    // recursion ends with the data.
    DataSetPtr children =
        Query("SELECT * FROM FEATURE WHERE PARENT_HIERARCHY = '" + SqlEscape(path) + "' ORDER BY ID");
    if (!children) return;
    for (children->First(); !children->Eof(); children->Next()) {
        const auto id = static_cast<int32_t>(FieldInteger(*children, "ID"));
        QTreeWidgetItem* child =
            AddFeatureNode(node, id, ToQ(FieldText(*children, "DISPLAY_NAME")));
        GetBranches(child, path + ";" + std::to_string(id));
    }
}

bool TfrmPermission::SelectedFeature(int32_t* id, QTreeWidgetItem** node) const {
    const QList<QTreeWidgetItem*> selected = tvFeature->selectedItems();
    if (selected.isEmpty()) return false;
    const int entry = selected.first()->data(0, kEntryRole).toInt();
    if (entry < 0 || static_cast<std::size_t>(entry) >= FeatureIDs.size()) return false;
    *id = FeatureIDs[static_cast<std::size_t>(entry)];
    if (node != nullptr) *node = selected.first();
    return true;
}

std::vector<int32_t> TfrmPermission::LoadPermitLevel(int32_t featureId) {
    std::vector<int32_t> levels;
    DataSetPtr feature = Query("SELECT USER_LEVEL_IDS FROM FEATURE WHERE ID = " +
                               std::to_string(featureId));
    if (!feature || feature->RecordCount() <= 0) return levels;
    feature->First();
    levels = tvGn::GetArrayInt(FieldText(*feature, "USER_LEVEL_IDS"));
    for (int32_t level : levels) {
        DataSetPtr name = Query("SELECT NAME FROM USER_LEVEL WHERE ID = " + std::to_string(level));
        // A level without a row is still shown (by its number), so it can be removed.
        QString text = QString::number(level);
        if (name && name->RecordCount() > 0) {
            name->First();
            text = ToQ(FieldText(*name, "NAME"));
        }
        auto* item = new QListWidgetItem(text, lbPermitLevel);
        item->setData(kLevelRole, level);
    }
    return levels;
}

void TfrmPermission::tvFeatureChange() {
    bbRemove->setEnabled(false);
    lbPermitLevel->clear();
    PermittedLevelIDs.clear();
    int32_t id = 0;
    QTreeWidgetItem* node = nullptr;
    if (!SelectedFeature(&id, &node)) {
        bbInherit->setEnabled(false);
        return;
    }
    bbInherit->setEnabled(true);
    if (node->childCount() > 0) node->setExpanded(true);
    PermittedLevelIDs = LoadPermitLevel(id);
}

void TfrmPermission::tvFeatureExpanded(QTreeWidgetItem* node) { node->setIcon(0, ilTreeIcons[1]); }

void TfrmPermission::tvFeatureCollapsed(QTreeWidgetItem* node) { node->setIcon(0, ilTreeIcons[0]); }

void TfrmPermission::lbAllLevelClick() { bbAdd->setEnabled(!lbAllLevel->selectedItems().isEmpty()); }

void TfrmPermission::lbPermitLevelClick() {
    bbRemove->setEnabled(!lbPermitLevel->selectedItems().isEmpty());
}

bool TfrmPermission::CheckArrayItemExists(const std::vector<int32_t>& list, int32_t value) {
    for (int32_t item : list)
        if (item == value) return true;
    return false;
}

void TfrmPermission::SavePermittedLevels(int32_t featureId) {
    const std::string list = tvGn::SerializeArrayInt(PermittedLevelIDs, ';');
    const std::string sql = "UPDATE FEATURE SET USER_LEVEL_IDS = '" + SqlEscape(list) +
                            "' WHERE ID = " + std::to_string(featureId);
    tvDa::UpdateRecords(0, sql.c_str());
}

void TfrmPermission::bbAddClick() {
    int32_t id = 0;
    // Without a selected level, or before any feature was chosen, there is nothing to add.
    if (lbAllLevel->selectedItems().isEmpty() || !SelectedFeature(&id)) {
        bbAdd->setEnabled(false);
        return;
    }
    for (int32_t level : SelectedOrUnselectedLevels(lbAllLevel, true))
        if (!CheckArrayItemExists(PermittedLevelIDs, level)) PermittedLevelIDs.push_back(level);
    SavePermittedLevels(id);
    RefreshPermitLevel();
    lbAllLevel->clearSelection();
    bbAdd->setEnabled(false);
}

void TfrmPermission::bbRemoveClick() {
    int32_t id = 0;
    if (lbPermitLevel->selectedItems().isEmpty() || !SelectedFeature(&id)) {
        bbRemove->setEnabled(false);
        return;
    }
    PermittedLevelIDs = SelectedOrUnselectedLevels(lbPermitLevel, false);
    SavePermittedLevels(id);
    RefreshPermitLevel();
    lbPermitLevel->clearSelection();
    bbRemove->setEnabled(false);
}

void TfrmPermission::RefreshPermitLevel() {
    bbRemove->setEnabled(false);
    lbPermitLevel->clear();
    int32_t id = 0;
    if (SelectedFeature(&id)) LoadPermitLevel(id);
}

void TfrmPermission::bbInheritClick() {
    int32_t id = 0;
    QTreeWidgetItem* node = nullptr;
    if (!SelectedFeature(&id, &node)) {
        bbInherit->setEnabled(false);
        return;
    }
    const QString question = FormatText(
        Res("Are you sure you want to apply the permission setting of the Feature '%s' to all "
            "its Sub-Features?"),
        {node->text(0)});
    if (AskYesNo(question) == tvResNo) return;

    DataSetPtr feature = Query("SELECT PARENT_HIERARCHY, USER_LEVEL_IDS FROM FEATURE WHERE ID = " +
                               std::to_string(id));
    if (!feature || feature->RecordCount() <= 0) return;
    feature->First();
    const std::string path = FieldText(*feature, "PARENT_HIERARCHY") + ";" + std::to_string(id);
    if (!WellFormedPath(path)) {
        std::fprintf(stderr, "tvSecurity: feature %d has the malformed path \"%s\"\n", id,
                     path.c_str());
        return;
    }
    // Descendants hold the path itself or the path followed by ";" and more: ";1" reaches
    // ";1" and ";1;3", never ";10" or ";12".
    const std::string sql = "UPDATE FEATURE SET USER_LEVEL_IDS = '" +
                            SqlEscape(FieldText(*feature, "USER_LEVEL_IDS")) +
                            "' WHERE (PARENT_HIERARCHY = '" + path +
                            "' OR PARENT_HIERARCHY LIKE '" + path + ";%') AND ID <> " +
                            std::to_string(id);
    tvDa::UpdateRecords(0, sql.c_str());
}

void ShowPermission(QWidget* owner) {
    {
        auto form = std::make_unique<TfrmPermission>(owner);
        form->exec();
    }
    LogEvent(Res("Permission closed."));
}

}  // namespace sec
