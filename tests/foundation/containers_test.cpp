// Tests of the container templates: exact-size arrays, linked lists, pointer lists, memory blocks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "foundation/NArray.h"
#include "foundation/NList.h"
#include "foundation/NMemBlock.h"
#include "foundation/NTypedPtrList.h"

namespace {

// So large that any count above 2^24 overflows a 64-bit byte count.
struct SHuge {
    char m_bytes[static_cast<std::size_t>(1) << 40];
};

TEST(NArray, GrowsExactlyAndResetsElementsLeavingTheSize) {
    NArray<CString> strings;
    ASSERT_TRUE(strings.SetSize(3));
    EXPECT_EQ(strings.GetCapacity(), 3);
    strings[0] = L"a";
    strings[1] = L"b";
    strings[2] = L"c";
    const CString* storage = strings.GetData();
    ASSERT_TRUE(strings.SetSize(1));
    ASSERT_TRUE(strings.SetSize(3));
    EXPECT_EQ(strings.GetData(), storage); // shrinking and regrowing within capacity
    EXPECT_EQ(strings[0], L"a");
    EXPECT_EQ(strings[1], L"");
    EXPECT_EQ(strings[2], L"");
    ASSERT_TRUE(strings.SetSize(3));
    EXPECT_EQ(strings.GetData(), storage);

    ASSERT_TRUE(strings.SetSize(5)); // beyond capacity: exact size, old elements kept
    EXPECT_EQ(strings.GetCapacity(), 5);
    EXPECT_EQ(strings[0], L"a");
    EXPECT_EQ(strings[4], L"");

    NArray<int> numbers(64);
    ASSERT_TRUE(numbers.SetSize(2));
    numbers[0] = 7;
    numbers[1] = 9;
    ASSERT_TRUE(numbers.SetSize(1));
    ASSERT_TRUE(numbers.SetSize(2));
    EXPECT_EQ(numbers[1], 0);
    EXPECT_EQ(numbers.GetCapacity(), 2); // the growth step is not consulted
    EXPECT_FALSE(numbers.SetSize(-1));
}

TEST(NArray, RefusedRequestsLeaveTheArrayUnchanged) {
    NArray<SHuge> huge;
    EXPECT_FALSE(huge.SetSize(1 << 25));
    EXPECT_EQ(huge.GetSize(), 0);
    EXPECT_EQ(huge.GetCapacity(), 0);
    EXPECT_EQ(huge.GetData(), nullptr);
}

TEST(NArray, NestedArraysReleaseTheirStorageWhenDropped) {
    NArray<NArray<DWORD>> rows;
    ASSERT_TRUE(rows.SetSize(2));
    ASSERT_TRUE(rows[1].SetSize(100));
    ASSERT_TRUE(rows.SetSize(1));
    ASSERT_TRUE(rows.SetSize(2));
    EXPECT_EQ(rows[1].GetSize(), 0);
    EXPECT_EQ(rows[1].GetCapacity(), 0);

    NArray<NArray<DWORD>> copy(rows); // copies are deep
    copy[0].SetSize(1);
    EXPECT_EQ(rows[0].GetSize(), 0);
}

TEST(NList, KeepsLinksConsistentThroughRemovals) {
    NList<CString> list;
    EXPECT_EQ(list.RemoveHead(), L"");
    EXPECT_EQ(list.GetCount(), 0);

    NList<CString>::SNode* only = list.AddTail(L"x");
    EXPECT_EQ(list.RemoveNode(only), L"x");
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);

    list.AddTail(L"b");
    list.AddHead(L"a");
    NList<CString>::SNode* c = list.AddTail(L"c");
    EXPECT_EQ(list.GetNodeAt(1)->m_data, L"b");
    EXPECT_EQ(list.GetNodeAt(3), nullptr);
    EXPECT_EQ(list.GetNodeAt(-1), nullptr);
    EXPECT_EQ(list.RemoveNode(list.GetNodeAt(1)), L"b");
    EXPECT_EQ(list.GetHead()->m_pNext, c);
    EXPECT_EQ(c->m_pPrev, list.GetHead());
    EXPECT_EQ(list.RemoveNode(c), L"c");
    EXPECT_EQ(list.GetTail(), list.GetHead());
    EXPECT_EQ(list.GetTail()->m_pNext, nullptr);
    EXPECT_EQ(list.RemoveHead(), L"a");
    EXPECT_EQ(list.GetTail(), nullptr);

    // Appending a list to itself doubles it once instead of chasing its own new tail forever.
    list.AddTail(L"p");
    list.AddTail(L"q");
    list.AddTailList(list);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetNodeAt(2)->m_data, L"p");
    EXPECT_EQ(list.GetTail()->m_data, L"q");
}

struct SCounted {
    explicit SCounted(int* alive) : m_pAlive(alive) { ++*m_pAlive; }
    virtual ~SCounted() { --*m_pAlive; }
    int* m_pAlive;
};
struct SDerived : SCounted {
    SDerived(int* alive, int* derivedGone) : SCounted(alive), m_pDerivedGone(derivedGone) {}
    ~SDerived() override { ++*m_pDerivedGone; }
    int* m_pDerivedGone;
};

TEST(NTypedPtrList, DeletesItemsOnlyWhenAsked) {
    int alive = 0;
    int derivedGone = 0;
    {
        NTypedPtrList<SCounted*> list;
        list.AddTail(new SDerived(&alive, &derivedGone));
        list.AddTail(nullptr); // absent items are skipped
        list.AddTail(new SCounted(&alive));
        list.RemoveAll(TRUE);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.GetTail(), nullptr);
    }
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(derivedGone, 1);

    SCounted kept(&alive);
    {
        NTypedPtrList<SCounted*> list; // not auto-deleting
        list.AddTail(&kept);
        list.RemoveAll(FALSE);
        list.AddTail(&kept);
    }
    EXPECT_EQ(alive, 1);

    {
        // The destructor of an auto-deleting list must reach the typed deletion.
        NTypedPtrList<SCounted*> list(TRUE);
        list.AddTail(new SDerived(&alive, &derivedGone));
    }
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(derivedGone, 2);

    // Through a base pointer the whole chain of virtual destructors runs.
    NList<void*>* base = new NTypedPtrList<SCounted*>(TRUE);
    base->AddTail(new SCounted(&alive));
    delete base;
    EXPECT_EQ(alive, 1);
}

TEST(NPtrList, AutoDeleteFreesPlainMemory) {
    // Leak checking (ASan) would report these blocks if the list did not free them.
    NPtrList list(TRUE);
    list.AddTail(std::malloc(16));
    list.AddHead(std::malloc(32));
}

// Lets a test make the next allocations fail.
class CFailingMemBlock : public NMemBlock {
public:
    int m_nAllocationsLeft = INT_MAX;

protected:
    void* AllocateBytes(size_t size) override {
        if (m_nAllocationsLeft <= 0)
            return nullptr;
        --m_nAllocationsLeft;
        return NMemBlock::AllocateBytes(size);
    }
};

TEST(NMemBlock, FlattensIntoOneBlockAndKeepsBlocksOnFailure) {
    CFailingMemBlock memory;
    EXPECT_EQ(memory.Flatten(), nullptr);
    EXPECT_TRUE(memory.Append("ab", 2));
    const BYTE* single = memory.Flatten();
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(std::memcmp(single, "ab", 2), 0);
    EXPECT_EQ(memory.Flatten(), single); // one block comes back as it is

    EXPECT_TRUE(memory.Append("cde", 3));
    EXPECT_TRUE(memory.Append("", 0));
    EXPECT_TRUE(memory.Append("f", 1));
    EXPECT_EQ(memory.GetSize(), 6u);
    EXPECT_EQ(memory.GetBlockCount(), 3);

    memory.m_nAllocationsLeft = 0;
    EXPECT_EQ(memory.Flatten(), nullptr);
    EXPECT_EQ(memory.GetBlockCount(), 3);
    EXPECT_FALSE(memory.Append("g", 1));
    EXPECT_EQ(memory.GetSize(), 6u);

    memory.m_nAllocationsLeft = 1;
    const BYTE* all = memory.Flatten();
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(std::memcmp(all, "abcdef", 6), 0);
    EXPECT_EQ(memory.GetBlockCount(), 1);
    EXPECT_EQ(memory.GetSize(), 6u);

    memory.Clear();
    EXPECT_EQ(memory.GetSize(), 0u);
    EXPECT_EQ(memory.Flatten(), nullptr);
}

} // namespace
