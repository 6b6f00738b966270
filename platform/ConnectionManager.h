// The device's Connection Manager: it brings up a data connection (GPRS, Wi-Fi)
// before a socket connects and tells when that connection goes away.
//
// Written over desktop Win32, where the network is always there: one destination
// network, connections that come up at once and hold a waitable handle that is
// signalled when their status changes. The Simulate* calls let tests take the
// network away or delay the API's readiness.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

const DWORD CONNMGR_PARAM_GUIDDESTNET = 0x1;
const DWORD CONNMGR_FLAG_SUSPEND_AWARE = 0x10;
const DWORD CONNMGR_PRIORITY_USERINTERACTIVE = 0x08000;

const DWORD CONNMGR_STATUS_UNKNOWN = 0x00;
const DWORD CONNMGR_STATUS_CONNECTED = 0x10;
const DWORD CONNMGR_STATUS_SUSPENDED = 0x11;
const DWORD CONNMGR_STATUS_DISCONNECTED = 0x20;
const DWORD CONNMGR_STATUS_CONNECTIONFAILED = 0x21;

struct CONNMGR_CONNECTIONINFO {
    DWORD cbSize;  // sizeof(CONNMGR_CONNECTIONINFO)
    DWORD dwParams;
    DWORD dwFlags;
    DWORD dwPriority;
    BOOL bExclusive;
    BOOL bDisabled;
    GUID guidDestNet;
    HWND hWnd;
    UINT uMsg;
    LPARAM lParam;
    ULONG ulMaxCost;
    ULONG ulMinRcvBw;
    ULONG ulMaxConnLatency;
};

// A handle that is signalled once the Connection Manager can take requests; the
// caller closes it.
JOV_PLATFORM_API HANDLE ConnMgrApiReadyEvent();
// Maps a URL to a destination network, starting at *index; the caller tries the
// next destination with *index + 1.
JOV_PLATFORM_API HRESULT ConnMgrMapURL(LPCWSTR url, GUID* destination, DWORD* index);
// On success *connection is a waitable handle, signalled when its status changes.
JOV_PLATFORM_API HRESULT ConnMgrEstablishConnectionSync(CONNMGR_CONNECTIONINFO* info, HANDLE* connection,
                                                        DWORD timeoutMs, DWORD* status);
JOV_PLATFORM_API HRESULT ConnMgrConnectionStatus(HANDLE connection, DWORD* status);
// Gives the connection up; the handle is invalid afterwards. Null is accepted.
JOV_PLATFORM_API HRESULT ConnMgrReleaseConnection(HANDLE connection, LONG cache);

// Test hooks.
// Takes the network away (every held connection turns DISCONNECTED and is
// signalled; new requests fail) or gives it back.
JOV_PLATFORM_API void ConnMgrSimulateNetwork(bool available);
// While false, ConnMgrApiReadyEvent hands out an event that is not signalled.
JOV_PLATFORM_API void ConnMgrSimulateApiReady(bool ready);
// While true, ConnMgrConnectionStatus fails with E_FAIL and signals nothing.
JOV_PLATFORM_API void ConnMgrSimulateStatusFailure(bool failing);
// Connections established and not yet released.
JOV_PLATFORM_API int ConnMgrHeldConnections();
