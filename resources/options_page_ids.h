// Resource identifiers of the options pages, one block per dialog template.
#pragma once

// ---- Pings page (template 133) ----
#define IDD_OPTIONS_PINGS 133
#define IDC_REVERSE_DNS 1006
#define IDC_PING_INTERVAL 1009
#define IDC_PING_TIMEOUT 1010
#define IDC_MAX_TTL 1011

// ---- Hosts page (template 134) ----
#define IDD_OPTIONS_HOSTS 134
#define IDC_HOST_LIST 1007
#define IDC_REMOVE_HOSTS 1008

// ---- Export page (template 135) ----
#define IDD_OPTIONS_EXPORT 135
#define IDC_EXPORT_ICONS 1013
#define IDC_EXPORT_TIMELINE 1014

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
