#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Platform/Observation/Observable.h"

namespace vorela {
namespace {

TEST(ObservableTest, NotifiesOnlyWhenTheStoredValueChanges) {
    Observable<std::string> title("a");
    std::vector<std::string> seen;
    auto sub = title.observe([&](const std::string& v) { seen.push_back(v); });
    EXPECT_FALSE(title.set("a"));
    EXPECT_TRUE(title.set("b"));
    EXPECT_FALSE(title.set("b"));
    EXPECT_EQ(seen, (std::vector<std::string>{"b"}));
    EXPECT_EQ(title.get(), "b");
}

TEST(ObservableTest, ObserversMayUnsubscribeThemselvesAndOthersDuringNotification) {
    Observable<int> value(0);
    int first = 0, second = 0, third = 0;
    Subscription s1, s2, s3;
    s1 = value.observe([&](const int&) {
        ++first;
        s1.cancel();
        s3.cancel();
    });
    s2 = value.observe([&](const int&) { ++second; });
    s3 = value.observe([&](const int&) { ++third; });
    value.set(1);
    value.set(2);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(third, 0);
}

TEST(ObservableTest, SubscriptionMayOutliveTheObservable) {
    Subscription sub;
    {
        Observable<int> value;
        sub = value.observe([](const int&) {});
    }
    sub.cancel();
    SUCCEED();
}

}  // namespace
}  // namespace vorela
