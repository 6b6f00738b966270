// The fixed identifiers of the system: services registered on the bus, event
// senders, protocols and settings sections.
#pragma once

#include "JOVGuid.h"

// {00000000-0000-0000-0000-000000000000}: the bus itself, sender of "Loaded".
inline constexpr JOV_GUID GUID_ServicesManager = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// {7D874B0A-D93B-4D4D-B748-026FEB4ECCE0}: the settings store.
inline constexpr JOV_GUID GUID_Database = {0x7D874B0A, 0xD93B, 0x4D4D, {0xB7, 0x48, 0x02, 0x6F, 0xEB, 0x4E, 0xCC, 0xE0}};
// {3BAE2E79-C55B-41B8-851D-0CB7DFF053B6}: the protocol plug-in manager;
// sender of its events and of every request to an account.
inline constexpr JOV_GUID GUID_ProtocolsManager = {0x3BAE2E79, 0xC55B, 0x41B8,
                                                   {0x85, 0x1D, 0x0C, 0xB7, 0xDF, 0xF0, 0x53, 0xB6}};
// {5CA0CBC1-999A-4EA2-8B44-F8F67D7F8EBE}: the "GUI" client and its settings section.
inline constexpr JOV_GUID GUID_GUI = {0x5CA0CBC1, 0x999A, 0x4EA2, {0x8B, 0x44, 0xF8, 0xF6, 0x7D, 0x7F, 0x8E, 0xBE}};
// {D42F2173-F868-469C-9F2F-B283F799F1CE}: the contact-list model.
inline constexpr JOV_GUID GUID_ContactList = {0xD42F2173, 0xF868, 0x469C,
                                              {0x9F, 0x2F, 0xB2, 0x83, 0xF7, 0x99, 0xF1, 0xCE}};
// {8D546AA4-2A1A-4390-9B5C-6C5FF9428D95}: the contact-list control.
inline constexpr JOV_GUID GUID_CLCtrl = {0x8D546AA4, 0x2A1A, 0x4390, {0x9B, 0x5C, 0x6C, 0x5F, 0xF9, 0x42, 0x8D, 0x95}};
// {250BA6FC-BD6B-4959-9199-9A9339ECC018}: the sockets manager, sender of the socket events.
inline constexpr JOV_GUID GUID_SocketsManager = {0x250BA6FC, 0xBD6B, 0x4959,
                                                 {0x91, 0x99, 0x9A, 0x93, 0x39, 0xEC, 0xC0, 0x18}};
// {17BB6222-C9AF-49FF-AA7C-5D0F48215E0A}: the skin, image and language service.
inline constexpr JOV_GUID GUID_SkinManager = {0x17BB6222, 0xC9AF, 0x49FF,
                                              {0xAA, 0x7C, 0x5D, 0x0F, 0x48, 0x21, 0x5E, 0x0A}};
// {DD9884C1-BEF2-45E2-8FF7-64EA12BC32F3}: the sound and vibration service.
inline constexpr JOV_GUID GUID_AlertManager = {0xDD9884C1, 0xBEF2, 0x45E2,
                                               {0x8F, 0xF7, 0x64, 0xEA, 0x12, 0xBC, 0x32, 0xF3}};
// {BB11FAAD-81A3-4CD4-913B-39DDA89CF340}: the ICQ protocol; sender of an ICQ account's events.
inline constexpr JOV_GUID GUID_ICQProtocol = {0xBB11FAAD, 0x81A3, 0x4CD4,
                                              {0x91, 0x3B, 0x39, 0xDD, 0xA8, 0x9C, 0xF3, 0x40}};
// {AB4D1737-3B4D-4DA7-8B82-60C8DDF8D8EB}: the Jabber protocol; sender of a Jabber account's events.
inline constexpr JOV_GUID GUID_JabberProtocol = {0xAB4D1737, 0x3B4D, 0x4DA7,
                                                 {0x8B, 0x82, 0x60, 0xC8, 0xDD, 0xF8, 0xD8, 0xEB}};
// {3866ED07-7F04-4FC6-A7EA-6526965B0A07}: settings section of the message history.
inline constexpr JOV_GUID GUID_History = {0x3866ED07, 0x7F04, 0x4FC6, {0xA7, 0xEA, 0x65, 0x26, 0x96, 0x5B, 0x0A, 0x07}};
// {A319BA90-7F8A-4BD4-B2C2-48948E0D165B}: class identifier of every notification bubble.
inline constexpr JOV_GUID CLSID_Notification = {0xA319BA90, 0x7F8A, 0x4BD4,
                                                {0xB2, 0xC2, 0x48, 0x94, 0x8E, 0x0D, 0x16, 0x5B}};
