// What the module exports to hosts. The module is built with hidden visibility: only
// the entry points and the classes a host calls directly carry OXSYMBOLS_EXPORT.
#pragma once

#define OXSYMBOLS_EXPORT __attribute__((visibility("default")))
