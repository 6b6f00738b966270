// CMenuItemInfo and CMenuInfo: constructors, item order, and single ownership
// of submenus through copies, assignments and nesting.
#include <gtest/gtest.h>

#include "MenuInfo.h"

#include <cstring>
#include <malloc.h>
#include <windows.h>

namespace {

CMenuInfo MenuOf(std::initializer_list<const wchar_t*> captions)
{
    CMenuInfo menu;
    unsigned int id = 100;
    for (const wchar_t* caption : captions)
        menu.Append(CMenuItemInfo(CJOVString(caption), id++, 0));
    return menu;
}

// Bytes in use on the heap that every module shares (all allocate through
// the same runtime), so a leak anywhere in the library shows here.
size_t HeapInUse()
{
    _HEAPINFO info;
    info._pentry = nullptr;
    size_t used = 0;
    while (_heapwalk(&info) == _HEAPOK) {
        if (info._useflag == _USEDENTRY)
            used += info._size;
    }
    return used;
}

// A menu made by the test, counting its own lives.
struct CountedMenu : CMenuInfo {
    CountedMenu() { ++live; }
    CountedMenu(const CountedMenu& other) : CMenuInfo(other) { ++live; }
    ~CountedMenu() override { --live; }
    static int live;
};
int CountedMenu::live = 0;

void TestHandler() {}

} // namespace

TEST(MenuItem, ConstructorsLeaveUnnamedFieldsEmpty)
{
    CMenuItemInfo command(CJOVString(L"Network settings"), 1005u, 1);
    EXPECT_EQ(command.type, CMenuItemInfo::MenuItemCommand);
    EXPECT_EQ(command.caption, CJOVString(L"Network settings"));
    EXPECT_EQ(command.commandId, 1005u);
    EXPECT_EQ(command.checked, 1);
    EXPECT_EQ(command.handler, nullptr);
    EXPECT_EQ(command.param, 0u);
    EXPECT_EQ(command.GetSubmenu(), nullptr);
    EXPECT_EQ(command.images.Count(), 0);

    void* handler = reinterpret_cast<void*>(&TestHandler);
    CMenuItemInfo withHandler(CJOVString(L"Add contact"), handler, 0);
    EXPECT_EQ(withHandler.type, CMenuItemInfo::MenuItemCommand);
    EXPECT_EQ(withHandler.handler, handler);
    EXPECT_EQ(withHandler.commandId, 0u);

    CMenuItemInfo separator(CMenuItemInfo::MenuItemSeparator);
    EXPECT_EQ(separator.type, CMenuItemInfo::MenuItemSeparator);
    EXPECT_EQ(separator.caption.GetLength(), 0);
    CMenuItemInfo title(CMenuItemInfo::MenuItemTitle, CJOVString(L"Account"));
    EXPECT_EQ(title.type, 3);
    EXPECT_EQ(title.caption, CJOVString(L"Account"));
    EXPECT_EQ(CMenuItemInfo().type, CMenuItemInfo::MenuItemCommand);
}

TEST(MenuItem, ParameterHoldsAPointer)
{
    static_assert(sizeof(CMenuItemInfo::param) >= sizeof(void*), "plug-ins put object pointers here");
    int account = 0;
    CMenuItemInfo item(CJOVString(L"Update contact list"), nullptr, 0);
    item.param = reinterpret_cast<uintptr_t>(&account);
    CMenuItemInfo copy(item);
    EXPECT_EQ(reinterpret_cast<int*>(copy.param), &account);
}

TEST(MenuList, InsertAtTheFrontAndCopiesKeepTheTitle)
{
    CMenuInfo menu = MenuOf({L"one", L"two"});
    menu.Insert(0, CMenuItemInfo(CMenuItemInfo::MenuItemTitle, CJOVString(L"head")));
    ASSERT_EQ(menu.Count(), 3);
    EXPECT_EQ(menu[0].caption, CJOVString(L"head"));
    EXPECT_EQ(menu[1].caption, CJOVString(L"one"));

    menu.title = CJOVString(L"Status");
    CMenuInfo copy(menu);
    EXPECT_EQ(copy.title, CJOVString(L"Status"));
    EXPECT_EQ(copy.Count(), 3);
    CMenuInfo assigned;
    assigned = menu;
    EXPECT_EQ(assigned.title, CJOVString(L"Status"));
    EXPECT_EQ(assigned[2].caption, CJOVString(L"two"));
}

TEST(MenuSubmenu, ItemHoldsItsOwnCopy)
{
    CMenuInfo source = MenuOf({L"Accept", L"Decline", L"Ignore"});
    CMenuItemInfo item(CJOVString(L"Authorization"), source);
    EXPECT_EQ(item.type, CMenuItemInfo::MenuItemSubmenu);
    ASSERT_NE(item.GetSubmenu(), nullptr);
    EXPECT_NE(item.GetSubmenu(), &source);

    source.Remove(0);
    source[0].caption = CJOVString(L"changed");
    ASSERT_EQ(item.GetSubmenu()->Count(), 3);
    EXPECT_EQ(item.GetSubmenu()->At(0).caption, CJOVString(L"Accept"));
    EXPECT_EQ(item.GetSubmenu()->At(1).caption, CJOVString(L"Decline"));
}

TEST(MenuSubmenu, CopiesAndAssignmentsOwnSeparateSubmenus)
{
    CMenuItemInfo item(CJOVString(L"Privacy status"), MenuOf({L"Visible", L"Invisible"}));
    item.images.Append(22);

    CMenuItemInfo* copy = new CMenuItemInfo(item);
    ASSERT_NE(copy->GetSubmenu(), nullptr);
    EXPECT_NE(copy->GetSubmenu(), item.GetSubmenu());
    EXPECT_EQ(copy->GetSubmenu()->At(1).caption, CJOVString(L"Invisible"));
    EXPECT_EQ(copy->images[0], 22u);
    copy->GetSubmenu()->At(0).caption = CJOVString(L"copy's");
    EXPECT_EQ(item.GetSubmenu()->At(0).caption, CJOVString(L"Visible"));
    delete copy;
    // The source's submenu outlives the copy and stays usable.
    item.GetSubmenu()->Append(CMenuItemInfo(CJOVString(L"Third"), 3u, 0));
    EXPECT_EQ(item.GetSubmenu()->Count(), 3);
    EXPECT_EQ(item.GetSubmenu()->At(0).caption, CJOVString(L"Visible"));

    CMenuItemInfo target(CJOVString(L"Old"), MenuOf({L"old"}));
    target = item;
    EXPECT_EQ(target.caption, CJOVString(L"Privacy status"));
    ASSERT_NE(target.GetSubmenu(), nullptr);
    EXPECT_NE(target.GetSubmenu(), item.GetSubmenu());
    EXPECT_EQ(target.GetSubmenu()->Count(), 3);

    target = CMenuItemInfo(CMenuItemInfo::MenuItemSeparator);
    EXPECT_EQ(target.GetSubmenu(), nullptr);
    item = item;
    EXPECT_EQ(item.GetSubmenu()->Count(), 3);
}

TEST(MenuSubmenu, NestedMenusCopyAllTheWayDown)
{
    CMenuInfo leaf = MenuOf({L"leaf"});
    CMenuInfo middle = MenuOf({L"m0"});
    middle.Append(CMenuItemInfo(CJOVString(L"deeper"), leaf));
    CMenuInfo root = MenuOf({L"r0"});
    root.Append(CMenuItemInfo(CJOVString(L"down"), middle));

    CMenuInfo copy(root);
    CMenuInfo* copiedMiddle = copy[1].GetSubmenu();
    ASSERT_NE(copiedMiddle, nullptr);
    EXPECT_NE(copiedMiddle, root[1].GetSubmenu());
    CMenuInfo* copiedLeaf = copiedMiddle->At(1).GetSubmenu();
    ASSERT_NE(copiedLeaf, nullptr);
    EXPECT_NE(copiedLeaf, root[1].GetSubmenu()->At(1).GetSubmenu());
    EXPECT_EQ(copiedLeaf->At(0).caption, CJOVString(L"leaf"));

    // A menu may be replaced by one of its own submenus, or an item by an
    // item of its own submenu: both are read before the old tree goes.
    CMenuInfo tree(root);
    tree = *tree[1].GetSubmenu();
    ASSERT_EQ(tree.Count(), 2);
    EXPECT_EQ(tree[0].caption, CJOVString(L"m0"));
    EXPECT_EQ(tree[1].GetSubmenu()->At(0).caption, CJOVString(L"leaf"));

    CMenuItemInfo item = root[1];
    item = item.GetSubmenu()->At(1);
    EXPECT_EQ(item.caption, CJOVString(L"deeper"));
    EXPECT_EQ(item.GetSubmenu()->At(0).caption, CJOVString(L"leaf"));

    // Appending a menu's own item while it grows.
    CMenuInfo full;
    for (int i = 0; i < 10; ++i)
        full.Append(CMenuItemInfo(CJOVString(L"sub"), leaf));
    full.Append(full[0]);
    EXPECT_EQ(full[10].GetSubmenu()->At(0).caption, CJOVString(L"leaf"));
}

TEST(MenuSubmenu, GivenMenuIsNotAdopted)
{
    {
        CountedMenu given;
        given.Append(CMenuItemInfo(CJOVString(L"x"), 1u, 0));
        {
            CMenuItemInfo item(CJOVString(L"sub"), given);
            EXPECT_EQ(CountedMenu::live, 1);
        }
        EXPECT_EQ(CountedMenu::live, 1);
        EXPECT_EQ(given[0].caption, CJOVString(L"x"));
    }
    EXPECT_EQ(CountedMenu::live, 0);
}

TEST(MenuSubmenu, EverythingIsFreed)
{
    auto workload = [] {
        CMenuInfo leaf = MenuOf({L"a", L"b"});
        CMenuInfo middle = MenuOf({L"m"});
        middle.Append(CMenuItemInfo(CJOVString(L"leaf"), leaf));
        CMenuInfo root;
        for (int i = 0; i < 25; ++i)  // several growths, each moving the items
            root.Append(CMenuItemInfo(CJOVString(L"mid"), middle));
        CMenuInfo copy(root);
        copy = root;
        copy.Remove(3, 5);
        copy.Insert(0, copy[7]);
        copy[2] = copy[2].GetSubmenu()->At(1);
        CMenuItemInfo loose(root[0]);
        loose = copy[0];
        root.RemoveAll();
        root.Append(loose);
        root.Compress();
        CMenuInfo tree(copy);
        tree = *tree[4].GetSubmenu();
    };
    workload();  // first use may set up lasting runtime state
    size_t before = HeapInUse();
    ASSERT_GT(before, 0u);
    workload();
    EXPECT_EQ(HeapInUse(), before);
}

TEST(MenuExport, ProgramUsesTheLibraryArrayInstance)
{
    HMODULE library = GetModuleHandleW(L"jov_common.dll");
    ASSERT_NE(library, nullptr);
    void* exported = reinterpret_cast<void*>(GetProcAddress(library, "_ZN9CJOVArrayI13CMenuItemInfoE6AppendERKS0_"));
    ASSERT_NE(exported, nullptr);
    int (CJOVArray<CMenuItemInfo>::*append)(const CMenuItemInfo&) = &CJOVArray<CMenuItemInfo>::Append;
    const unsigned char* code = nullptr;
    std::memcpy(&code, &append, sizeof code);  // a non-virtual member's code address
    // The program's own symbol is the import thunk, "jmp [rip+offset]" through
    // the import slot; a copy of its own would be code of another kind.
    ASSERT_EQ(code[0], 0xFF);
    ASSERT_EQ(code[1], 0x25);
    int offset;
    std::memcpy(&offset, code + 2, sizeof offset);
    void* target;
    std::memcpy(&target, code + 6 + offset, sizeof target);
    EXPECT_EQ(target, exported);
}
