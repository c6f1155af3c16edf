// The permission manager over a real FEATURE table: the tree, Add, Remove and Apply to
// Subs, each written to the database at once.
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "SecurityTestKit.h"
#include "UiScript.h"

namespace sectest {
namespace {

class PermissionTest : public SecurityTest {
protected:
    void SetUp() override {
        SecurityTest::SetUp();
        InsertFeatureTree();
    }

    // Runs the permission manager with `steps` queued on it, then closes it.
    void RunManager(const std::function<void(UiScript&)>& steps) {
        UiScript ui;
        steps(ui);
        ui.OnWindow("TfrmPermission", [](QWidget* form) { CloseLater(form, "bbClose"); });
        lib->ShowPermission(nullptr);
        ui.ExpectFinished();
    }
};

std::string Levels(int featureId) {
    return Field("SELECT USER_LEVEL_IDS FROM FEATURE WHERE ID = " + std::to_string(featureId),
                 "USER_LEVEL_IDS");
}

// Every feature's list, for "nothing changed" checks.
std::string AllLevels() {
    std::string all;
    for (int id : {1, 2, 3, 4, 10, 11, 12, 13, 14, 15})
        all += std::to_string(id) + "=" + Levels(id) + " ";
    return all;
}

QTreeWidgetItem* Node(QWidget* form, const QString& text) {
    const auto found =
        Child<QTreeWidget>(form, "tvFeature")->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.size() != 1) ADD_FAILURE() << "tree node " << text.toStdString();
    return found.value(0);
}

void SelectFeature(QWidget* form, const QString& text) {
    Child<QTreeWidget>(form, "tvFeature")->setCurrentItem(Node(form, text));
}

std::vector<std::string> Names(QWidget* form, const char* list) {
    std::vector<std::string> names;
    auto* widget = Child<QListWidget>(form, list);
    for (int row = 0; row < widget->count(); ++row)
        names.push_back(widget->item(row)->text().toStdString());
    return names;
}

void SelectLevels(QWidget* form, const char* list, std::initializer_list<const char*> names) {
    auto* widget = Child<QListWidget>(form, list);
    for (const char* name : names) {
        const auto items = widget->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name;
        items.first()->setSelected(true);
    }
}

bool Enabled(QWidget* form, const char* button) {
    return Child<QPushButton>(form, button)->isEnabled();
}

std::vector<std::string> Texts(QTreeWidgetItem* node) {
    std::vector<std::string> texts;
    for (int i = 0; i < node->childCount(); ++i) texts.push_back(node->child(i)->text(0).toStdString());
    return texts;
}

using Strings = std::vector<std::string>;

TEST_F(PermissionTest, TreeIsBuiltDepthFirstAndNothingIsSelectedAtFirst) {
    RunManager([](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
            EXPECT_EQ(form->windowTitle(), "Permission Manager");
            auto* tree = Child<QTreeWidget>(form, "tvFeature");
            ASSERT_EQ(tree->topLevelItemCount(), 3);
            EXPECT_EQ(tree->topLevelItem(0)->text(0), "Top");
            EXPECT_EQ(tree->topLevelItem(1)->text(0), "Ten");
            EXPECT_EQ(tree->topLevelItem(2)->text(0), "Twelve");
            EXPECT_EQ(Texts(tree->topLevelItem(0)), (Strings{"Reports", "Setup"}));
            EXPECT_EQ(Texts(Node(form, "Setup")), (Strings{"Users"}));
            EXPECT_EQ(Texts(tree->topLevelItem(1)), (Strings{"Ten child"}));
            EXPECT_EQ(Texts(tree->topLevelItem(2)), (Strings{"Twelve child", "Quoted"}));
            EXPECT_TRUE(tree->findItems("Orphan", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
            EXPECT_EQ(Names(form, "lbAllLevel"),
                      (Strings{"Administrator", "Supervisor", "Operator", "Guest"}));
            EXPECT_TRUE(tree->selectedItems().isEmpty());
            EXPECT_TRUE(Names(form, "lbPermitLevel").empty());
            for (const char* b : {"bbAdd", "bbRemove", "bbInherit"}) EXPECT_FALSE(Enabled(form, b)) << b;

            // Selecting opens a node with sub-features; its image follows.
            QTreeWidgetItem* setup = Node(form, "Setup");
            const qint64 closed = setup->icon(0).cacheKey();
            SelectFeature(form, "Setup");
            EXPECT_TRUE(setup->isExpanded());
            EXPECT_NE(setup->icon(0).cacheKey(), closed);
            EXPECT_EQ(Names(form, "lbPermitLevel"), (Strings{"Administrator", "Supervisor"}));
            EXPECT_TRUE(Enabled(form, "bbInherit"));
            setup->setExpanded(false);
            EXPECT_EQ(setup->icon(0).cacheKey(), closed);
        });
    });
    EXPECT_EQ(EventTexts(), (Strings{"Permission started.", "Permission closed."}));
}

TEST_F(PermissionTest, AddAppendsOnlyLevelsNotYetPermittedInListOrder) {
    RunManager([](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
            SelectFeature(form, "Reports");  // 1;2;5
            EXPECT_EQ(Names(form, "lbPermitLevel"), (Strings{"Administrator", "Supervisor", "Guest"}));
            SelectLevels(form, "lbAllLevel", {"Operator", "Administrator"});
            ASSERT_TRUE(Enabled(form, "bbAdd"));
            Child<QPushButton>(form, "bbAdd")->click();
            EXPECT_EQ(Levels(2), "1;2;5;3");
            EXPECT_EQ(Names(form, "lbPermitLevel"),
                      (Strings{"Administrator", "Supervisor", "Guest", "Operator"}));
            EXPECT_FALSE(Enabled(form, "bbAdd"));
            EXPECT_TRUE(Child<QListWidget>(form, "lbAllLevel")->selectedItems().isEmpty());

            SelectLevels(form, "lbAllLevel", {"Supervisor"});
            Child<QPushButton>(form, "bbAdd")->click();
            EXPECT_EQ(Levels(2), "1;2;5;3") << "never twice";

            SelectFeature(form, "Users");  // 1
            SelectLevels(form, "lbAllLevel", {"Guest", "Operator"});
            Child<QPushButton>(form, "bbAdd")->click();
            EXPECT_EQ(Levels(4), "1;3;5");
        });
    });
}

TEST_F(PermissionTest, RemoveKeepsTheUnselectedAndRemovingAllPermitsNobody) {
    RunManager([](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
            SelectFeature(form, "Reports");
            SelectLevels(form, "lbPermitLevel", {"Supervisor"});
            ASSERT_TRUE(Enabled(form, "bbRemove"));
            Child<QPushButton>(form, "bbRemove")->click();
            EXPECT_EQ(Levels(2), "1;5");
            EXPECT_EQ(Names(form, "lbPermitLevel"), (Strings{"Administrator", "Guest"}));
            EXPECT_FALSE(Enabled(form, "bbRemove"));

            SelectFeature(form, "Setup");
            Child<QListWidget>(form, "lbPermitLevel")->selectAll();
            Child<QPushButton>(form, "bbRemove")->click();
            EXPECT_EQ(Levels(3), "");
            EXPECT_TRUE(Names(form, "lbPermitLevel").empty());
        });
    });
    LoginAs("admin", "admin");
    EXPECT_EQ(lib->CheckFeatureAccess("SETUP"), 0);
    EXPECT_EQ(lib->CheckFeatureAccess("REPORTS"), 1);
}

TEST_F(PermissionTest, ApplyToSubsUpdatesExactlyTheDescendants) {
    ASSERT_EQ(Exec("UPDATE FEATURE SET USER_LEVEL_IDS = '2;3' WHERE ID = 1"), 1);
    ASSERT_EQ(Exec("UPDATE FEATURE SET USER_LEVEL_IDS = '5' WHERE ID = 11"), 1);
    std::string question;
    RunManager([&](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
              SelectFeature(form, "Ten");
              ClickLater(form, "bbInherit");
          })
            .Answer(QMessageBox::No)
            .OnWindow("TfrmPermission", [](QWidget* form) {
                EXPECT_EQ(Levels(11), "5") << "No changes nothing";
                SelectFeature(form, "Top");
                ClickLater(form, "bbInherit");
            })
            .Answer(QMessageBox::Yes, &question);
    });
    EXPECT_EQ(question,
              "Are you sure you want to apply the permission setting of the Feature 'Top' to all "
              "its Sub-Features?");
    // ;1 and ;1;3 below feature 1, nothing below ;10 or ;12, feature 1 itself as it was.
    EXPECT_EQ(AllLevels(), "1=2;3 2=2;3 3=2;3 4=2;3 10=3 11=5 12= 13= 14=1 15=1 ");
}

TEST_F(PermissionTest, ApplyToSubsOfAnInnerFeatureStaysBelowIt) {
    RunManager([](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
              SelectFeature(form, "Setup");  // 1;2, path ;1;3
              ClickLater(form, "bbInherit");
          })
            .Answer(QMessageBox::Yes);
    });
    EXPECT_EQ(AllLevels(), "1=1 2=1;2;5 3=1;2 4=1;2 10=3 11=3 12= 13= 14=1 15=1 ");
}

TEST_F(PermissionTest, WithoutASelectedFeatureNothingIsChanged) {
    const std::string before = AllLevels();
    RunManager([](UiScript& ui) {
        ui.OnWindow("TfrmPermission", [](QWidget* form) {
            // A click in All User Levels enables Add before any feature was chosen.
            SelectLevels(form, "lbAllLevel", {"Operator"});
            ASSERT_TRUE(Enabled(form, "bbAdd"));
            Child<QPushButton>(form, "bbAdd")->click();
            EXPECT_FALSE(Enabled(form, "bbAdd"));
            EXPECT_TRUE(Names(form, "lbPermitLevel").empty());

            SelectFeature(form, "Ten");
            Child<QTreeWidget>(form, "tvFeature")->clearSelection();
            EXPECT_FALSE(Enabled(form, "bbInherit"));
            EXPECT_TRUE(Names(form, "lbPermitLevel").empty());
        });
    });
    EXPECT_EQ(AllLevels(), before);
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
