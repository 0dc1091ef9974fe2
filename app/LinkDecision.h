#pragma once
#include <windows.h>

// Whether an item with these attributes and reparse tag is a link (a symbolic link, a
// junction, a mount point and the like): removed as itself, never entered. Other reparse
// points (cloud-file placeholders, compressed or deduplicated files) are the files and
// folders they look like. A reparse point whose tag is unknown counts as a link.
bool IsLinkItem(DWORD attributes, DWORD reparseTag);
// The same for what an open handle stands for, its tag read from the handle; a handle the
// system says nothing about counts as a link.
bool IsLinkHandle(HANDLE handle);
