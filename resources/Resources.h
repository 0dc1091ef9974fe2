#pragma once

#define IDI_APP_ICON 101
#define IDR_BANNER_PNG 102
#define IDR_LOGO_PNG 103
