// The template library as another program sees it: libkelvaneparse.so from the program folder,
// loaded with dlopen, functions resolved by name with the types of the C header.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "parseutils/kelvaneparse.h"

namespace kv::testing {

inline constexpr const char* kKelvaneParsePath = KELVANE_TEST_BIN_DIR "/libkelvaneparse.so";

class CapiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        handle_ = dlopen(kKelvaneParsePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    static void TearDownTestSuite() {
        if (handle_) dlclose(handle_);
        handle_ = nullptr;
    }

    static void* Symbol(const char* name) { return handle_ ? dlsym(handle_, name) : nullptr; }

    template <typename Function>
    static Function Resolve(const char* name) {
        void* symbol = Symbol(name);
        if (!symbol) ADD_FAILURE() << "not exported: " << name;
        return reinterpret_cast<Function>(symbol);
    }

    struct ListFree {
        void operator()(KvStringList* list) const;
    };
    using List = std::unique_ptr<KvStringList, ListFree>;

    // The text of a result, freed with KvFree; "<NULL>" for a null result.
    static std::string Take(char* text);
    // Entries of a list.
    static std::vector<std::string> Entries(const KvStringList* list);
    static List NewList(const std::vector<std::string>& entries = {});
    static std::string LastError();

    static inline void* handle_ = nullptr;
};

// The function of that name, typed by its declaration in the header.
#define KV_FN(name) Resolve<decltype(&::name)>(#name)

inline std::string CapiTest::Take(char* text) {
    if (!text) return "<NULL>";
    std::string copy(text);
    KV_FN(KvFree)(text);
    return copy;
}

inline std::vector<std::string> CapiTest::Entries(const KvStringList* list) {
    std::vector<std::string> entries;
    const int count = KV_FN(KvStringListCount)(list);
    for (int i = 0; i < count; ++i) entries.emplace_back(KV_FN(KvStringListGet)(list, i));
    return entries;
}

inline void CapiTest::ListFree::operator()(KvStringList* list) const {
    KV_FN(KvStringListFree)(list);
}

inline CapiTest::List CapiTest::NewList(const std::vector<std::string>& entries) {
    List list(KV_FN(KvStringListCreate)());
    for (const std::string& entry : entries) KV_FN(KvStringListAdd)(list.get(), entry.c_str());
    return list;
}

inline std::string CapiTest::LastError() {
    const char* error = KV_FN(KvLastError)();
    return error ? error : "<NULL>";
}

}  // namespace kv::testing
