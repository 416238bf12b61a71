#include "ui/widgets/logic/my_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor {
namespace {

struct Tracked {
    std::string name;
    std::vector<std::string>* released;
    std::vector<std::string>* destroyed;
    ~Tracked() { destroyed->push_back(name); }
};

class MyListTest : public ::testing::Test {
  protected:
    Tracked* Make(const std::string& name) { return new Tracked{name, &released, &destroyed}; }
    std::vector<std::string> released;
    std::vector<std::string> destroyed;
};

TEST_F(MyListTest, OwningListReleasesThenDeletesOnRemoveAndClear) {
    {
        CMyList<Tracked> list(ListOwnership::kOwnsData,
                              [](Tracked& data) { data.released->push_back(data.name); });
        list.Append(Make("a"));
        auto* middle = list.Append(Make("b"));
        list.Append(Make("c"));
        list.Remove(middle);
        EXPECT_EQ(released, (std::vector<std::string>{"b"}));
        EXPECT_EQ(destroyed, (std::vector<std::string>{"b"}));
        ASSERT_EQ(list.Count(), 2u);
        EXPECT_EQ(list.Head()->data->name, "a");
        EXPECT_EQ(list.Head()->next, list.Tail());
        EXPECT_EQ(list.Tail()->prev, list.Head());
        EXPECT_EQ(list.Tail()->data->name, "c");
    }
    // Destruction clears from the head on.
    EXPECT_EQ(released, (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(destroyed, released);
}

TEST_F(MyListTest, LinkingListLeavesDataAlone) {
    Tracked a{"a", &released, &destroyed};
    Tracked b{"b", &released, &destroyed};
    {
        CMyList<Tracked> list(ListOwnership::kLinksData,
                              [](Tracked& data) { data.released->push_back(data.name); });
        list.Append(&a);
        list.Append(&b);
        list.Remove(list.Find(&a));
        EXPECT_EQ(list.Head(), list.Tail());
        list.Clear();
        EXPECT_EQ(list.Count(), 0u);
        EXPECT_EQ(list.Head(), nullptr);
        EXPECT_EQ(list.Tail(), nullptr);
    }
    EXPECT_TRUE(released.empty());
    EXPECT_TRUE(destroyed.empty());
}

TEST_F(MyListTest, RemovingHeadAndTailKeepsLinksConsistent) {
    CMyList<Tracked> list;
    auto* first = list.Append(Make("a"));
    list.Append(Make("b"));
    auto* last = list.Append(Make("c"));
    list.Remove(first);
    list.Remove(last);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Head(), list.Tail());
    EXPECT_EQ(list.Head()->prev, nullptr);
    EXPECT_EQ(list.Head()->next, nullptr);
    list.Append(Make("d"));
    EXPECT_EQ(list.Tail()->prev, list.Head());
}

}  // namespace
}  // namespace vantor
