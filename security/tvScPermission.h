// The permission manager: which user levels may use which feature, edited feature by
// feature, with a command that copies a feature's list to every feature below it.
#pragma once

#include <QDialog>
#include <QIcon>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sec {

class TfrmPermission : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPermission(QWidget* owner);
    ~TfrmPermission() override;

    QLabel* lblFeatures;
    QTreeWidget* tvFeature;
    QLabel* lblPermitUsrLevel;
    QListWidget* lbPermitLevel;
    QLabel* lblAllUsrLevel;
    QListWidget* lbAllLevel;
    QPushButton* bbAdd;
    QPushButton* bbRemove;
    QPushButton* bbInherit;
    QPushButton* bbClose;
    QPushButton* bbHelp;
    // Image 0 for a collapsed node, 1 for an expanded one.
    QIcon ilTreeIcons[2];

private:
    void FormCreate();
    void FormDestroy();
    void GetBranches(QTreeWidgetItem* node, const std::string& path);
    QTreeWidgetItem* AddFeatureNode(QTreeWidgetItem* parent, int32_t id, const QString& name);
    void tvFeatureChange();
    void tvFeatureExpanded(QTreeWidgetItem* node);
    void tvFeatureCollapsed(QTreeWidgetItem* node);
    void lbAllLevelClick();
    void lbPermitLevelClick();
    void bbAddClick();
    void bbRemoveClick();
    void bbInheritClick();
    void RefreshPermitLevel();
    static bool CheckArrayItemExists(const std::vector<int32_t>& list, int32_t value);

    // The selected feature's ID; false when no feature is selected.
    bool SelectedFeature(int32_t* id, QTreeWidgetItem** node = nullptr) const;
    // Fills lbPermitLevel from the stored list of `featureId`; returns that list.
    std::vector<int32_t> LoadPermitLevel(int32_t featureId);
    void SavePermittedLevels(int32_t featureId);

    // One entry per FEATURE row, in the order the tree was built; each node holds the
    // index of its entry.
    std::vector<int32_t> FeatureIDs;
    // Permitted levels of the selected feature as last loaded or saved.
    std::vector<int32_t> PermittedLevelIDs;
};

// The export ShowPermission.
void ShowPermission(QWidget* owner);

}  // namespace sec
