#include "http/domainsiplist.h"

#include <gtest/gtest.h>

#include <thread>

namespace kv::http {
namespace {

TEST(DomainsIPListTest, ForwardResultsPairEachAddressWithTheName) {
    TDomainsIPList cache;
    EXPECT_FALSE(cache.AddressOf("www.example.test"));
    cache.AddForward({"10.0.0.1", "10.0.0.2"}, "www.example.test");
    EXPECT_EQ(cache.AddressOf("WWW.Example.TEST"), "10.0.0.1");
    EXPECT_EQ(cache.NameOf("10.0.0.1"), "www.example.test");
    EXPECT_EQ(cache.NameOf("10.0.0.2"), "www.example.test");
    // A second lookup appends again; the first pair is still the one found.
    cache.AddForward({"10.0.0.9"}, "www.example.test");
    EXPECT_EQ(cache.AddressOf("www.example.test"), "10.0.0.1");
    EXPECT_EQ(cache.Count(), 3u);
}

TEST(DomainsIPListTest, ReverseResultsPairEachNameWithTheAddressAndEmptiesAreSkipped) {
    TDomainsIPList cache;
    cache.AddReverse({"a.example.test", "", "b.example.test"}, "192.0.2.7");
    cache.AddReverse({"c.example.test"}, "");
    cache.AddForward({""}, "d.example.test");
    EXPECT_EQ(cache.Count(), 2u);
    EXPECT_EQ(cache.NameOf("192.0.2.7"), "a.example.test");
    EXPECT_EQ(cache.AddressOf("b.example.test"), "192.0.2.7");
    EXPECT_FALSE(cache.AddressOf("c.example.test"));
}

TEST(DomainsIPListTest, ReadersAndWritersOnManyThreads) {
    TDomainsIPList cache;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            for (int i = 0; i < 500; ++i) {
                std::string name = "h" + std::to_string(t) + "-" + std::to_string(i);
                cache.AddForward({"10.0." + std::to_string(t) + "." + std::to_string(i % 250)},
                                 name);
                EXPECT_TRUE(cache.AddressOf(name));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(cache.Count(), 2000u);
}

}  // namespace
}  // namespace kv::http
