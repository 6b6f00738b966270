// The address of one contact-list item as the plug-ins exchange it with the model.
#pragma once

namespace CL {

// A group is {group, 0}; a contact in a group {group, contact}; a contact in
// no group {0, contact}.
struct CLItemInfo {
    unsigned int groupId = 0;
    unsigned int contactId = 0;
};

} // namespace CL
