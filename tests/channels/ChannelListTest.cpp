// The owning channel list and Assign.
#include <gtest/gtest.h>

#include "ChannelObjList.h"

namespace {

std::unique_ptr<TChannelObj> Channel(const std::string& description, int32_t id, bool disabled = false) {
    auto channel = std::make_unique<TChannelObj>();
    channel->Description = description;
    channel->ChannelID = id;
    channel->Disabled = disabled;
    return channel;
}

}  // namespace

TEST(ChannelList, FindRemoveAndDescriptionUsedByOther) {
    TChannelObjList list;
    EXPECT_EQ(list.FindByDescription("A"), nullptr);
    EXPECT_EQ(list.EnabledCount(), 0);
    TChannelObj* first = list.Add(Channel("A", 7));
    list.Add(Channel("A", 8, true));  // same description, later index
    list.Add(Channel("B", 9));

    EXPECT_EQ(list.FindByDescription("A"), first);
    EXPECT_EQ(list.FindByDescription("a"), nullptr);   // letter case counts
    EXPECT_EQ(list.FindByDescription("A "), nullptr);  // no trimming
    EXPECT_EQ(list.EnabledCount(), 2);

    struct Case {
        const char* description;
        int32_t id;
        bool used;
    } cases[] = {{"A", 7, false}, {"A", 8, true}, {"B", 9, false}, {"B", 1, true}, {"C", 1, false}};
    for (const Case& c : cases)
        EXPECT_EQ(list.DescriptionUsedByOther(c.description, c.id), c.used) << c.description << " " << c.id;

    EXPECT_FALSE(list.RemoveByDescription("C"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.RemoveByDescription("A"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->ChannelID, 8);  // the first "A" went, the second stays
}

TEST(ChannelList, AssignCopiesSettingsButNotLogFileConnectionsOrQueue) {
    TChannelObj source;
    source.ChannelID = 4;
    source.Running = true;
    source.Disabled = true;
    source.Description = "D";
    source.RuleFile = "/r.arp";
    source.ScannedLocation = "/in/";
    source.ProcessedLocation = "/out/";
    source.FileExt = ".txt";
    source.FileNameStartsWith = "LOG";
    source.FileNameEndsWith = "_A";
    source.ScanInterval = 5;
    source.DBType = "MySQL";
    source.DBServerName = "h";
    source.DBName = "n";
    source.DBUserName = "u";
    source.DBPassword = "p";
    source.Logged = true;
    source.LogFile = "/x/D.log";
    source.SettingsConnection = 3;
    source.RepositoryConnection = 4;
    source.PendingMessages.push_back("queued");
    source.Thread->Priority = QThread::LowPriority;

    TChannelObj copy;
    copy.Assign(source);
    EXPECT_EQ(copy.ChannelID, 4);
    EXPECT_TRUE(copy.Running);
    EXPECT_TRUE(copy.Disabled);
    EXPECT_EQ(copy.Thread->Priority, QThread::LowPriority);
    EXPECT_EQ(copy.Description + copy.RuleFile + copy.ScannedLocation + copy.ProcessedLocation + copy.FileExt +
                  copy.FileNameStartsWith + copy.FileNameEndsWith + copy.DBType + copy.DBServerName + copy.DBName +
                  copy.DBUserName + copy.DBPassword,
              "D/r.arp/in//out/.txtLOG_AMySQLhnup");
    EXPECT_EQ(copy.ScanInterval, 5);
    EXPECT_TRUE(copy.Logged);
    EXPECT_EQ(copy.LogFile, "");
    EXPECT_EQ(copy.SettingsConnection, -1);
    EXPECT_EQ(copy.RepositoryConnection, -1);
    EXPECT_TRUE(copy.PendingMessages.empty());
    EXPECT_EQ(copy.RuleLines, nullptr);
    // The source's handles are not real: keep its destructor from releasing them.
    source.SettingsConnection = source.RepositoryConnection = -1;
}

TEST(ChannelList, StopOfANeverStartedChannelLeavesNoHandles) {
    TChannelObj channel;
    channel.Stop();
    EXPECT_FALSE(channel.Running);
    EXPECT_EQ(channel.SettingsConnection, -1);
    EXPECT_EQ(channel.RepositoryConnection, -1);
}
