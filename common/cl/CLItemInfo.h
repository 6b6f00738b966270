// The address of one contact-list item as the plug-ins and windows receive it:
// a group is {group, 0}, a contact in a group {group, contact}, a contact in no
// group {0, contact}.
#pragma once

namespace CL {

struct CLItemInfo {
    unsigned int groupId = 0;
    unsigned int contactId = 0;
};

} // namespace CL
