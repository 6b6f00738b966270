// The event names of the system, grouped by the sender that names them
// (ServiceIds.h). Matched exactly and case-sensitively.
#pragma once

// The services bus (GUID_ServicesManager): start-up is complete.
inline constexpr wchar_t EVENT_Loaded[] = L"Loaded";

// Requests of the protocol plug-in manager to an account (GUID_ProtocolsManager).
inline constexpr wchar_t EVENT_Create[] = L"Create";
inline constexpr wchar_t EVENT_Destroy[] = L"Destroy";
inline constexpr wchar_t EVENT_LangChange[] = L"Lang change";
inline constexpr wchar_t EVENT_GetAccountName[] = L"Get account name";
inline constexpr wchar_t EVENT_GetImages[] = L"Get images";
inline constexpr wchar_t EVENT_GetContactStatusInfo[] = L"Get contact status info";
inline constexpr wchar_t EVENT_InitRootMenu[] = L"Init root menu";
inline constexpr wchar_t EVENT_InitGroupMenu[] = L"Init group menu";
inline constexpr wchar_t EVENT_InitContactMenu[] = L"Init contact menu";
inline constexpr wchar_t EVENT_InitMessageWindowMenu[] = L"Init message window menu";
inline constexpr wchar_t EVENT_CreateGroup[] = L"Create group";
inline constexpr wchar_t EVENT_RenameGroup[] = L"Rename group";
inline constexpr wchar_t EVENT_DeleteGroup[] = L"Delete group";
inline constexpr wchar_t EVENT_RenameContact[] = L"Rename contact";
inline constexpr wchar_t EVENT_MoveContact[] = L"Move contact";
inline constexpr wchar_t EVENT_DeleteContact[] = L"Delete contact";
inline constexpr wchar_t EVENT_SendMessage[] = L"Send message";
inline constexpr wchar_t EVENT_GetAccountDetailsDlgInfo[] = L"Get account details dlg info";
inline constexpr wchar_t EVENT_GetContactDetailsDlgInfo[] = L"Get contact details dlg info";
inline constexpr wchar_t EVENT_SetStatus[] = L"Set status";
inline constexpr wchar_t EVENT_GetStatus[] = L"Get status";
inline constexpr wchar_t EVENT_GetStatusInfo[] = L"Get status info";
inline constexpr wchar_t EVENT_GetStatusMenuInfo[] = L"Get status menu info";
inline constexpr wchar_t EVENT_GetOptionsDlgInfo[] = L"Get options dlg info";

// An account's reports to the manager (sender: its protocol identifier); the
// manager relays the first four under its own identifier.
inline constexpr wchar_t EVENT_StatusChanged[] = L"Status changed";
inline constexpr wchar_t EVENT_AccountChanged[] = L"Account changed";
inline constexpr wchar_t EVENT_DetailsReceived[] = L"Details received";
inline constexpr wchar_t EVENT_ContactDetailsReceived[] = L"Contact details received";
inline constexpr wchar_t EVENT_Warning[] = L"Warning";

// Declared events of the protocol plug-in manager (GUID_ProtocolsManager),
// besides the relayed ones above, and its requests to itself.
inline constexpr wchar_t EVENT_Added[] = L"Added";
inline constexpr wchar_t EVENT_Deleted[] = L"Deleted";
inline constexpr wchar_t EVENT_MessageSent[] = L"Message sent";
inline constexpr wchar_t EVENT_OwnStatusChanged[] = L"Own status changed";
inline constexpr wchar_t EVENT_OwnDeleteAccount[] = L"Own delete account";

// The main window (GUID_GUI) and the contact-list control (GUID_CLCtrl).
inline constexpr wchar_t EVENT_LanChanged[] = L"Lan changed";
inline constexpr wchar_t EVENT_CLCurrentItemChanged[] = L"CL current item changed";

// Events of the contact-list model (GUID_ContactList). "Message received",
// "Group delete", "Contact delete" and "Contact move" are also its requests to
// its own client "CL"; "Contact move" is only that, never declared.
inline constexpr wchar_t EVENT_TransactionBegin[] = L"Transaction begin";
inline constexpr wchar_t EVENT_TransactionEnd[] = L"Transaction end";
inline constexpr wchar_t EVENT_GroupAdded[] = L"Group added";
inline constexpr wchar_t EVENT_GroupChanged[] = L"Group changed";
inline constexpr wchar_t EVENT_ContactAdded[] = L"Contact added";
inline constexpr wchar_t EVENT_ContactStatusChanged[] = L"Contact status changed";
inline constexpr wchar_t EVENT_ContactChanged[] = L"Contact changed";
inline constexpr wchar_t EVENT_MessageReceived[] = L"Message received";
inline constexpr wchar_t EVENT_GroupDelete[] = L"Group delete";
inline constexpr wchar_t EVENT_ContactDelete[] = L"Contact delete";
inline constexpr wchar_t EVENT_ContactMove[] = L"Contact move";

// The sockets manager to a socket's owner (GUID_SocketsManager).
inline constexpr wchar_t EVENT_Connect[] = L"Connect";
inline constexpr wchar_t EVENT_Write[] = L"Write";
inline constexpr wchar_t EVENT_Receive[] = L"Receive";
inline constexpr wchar_t EVENT_Close[] = L"Close";
