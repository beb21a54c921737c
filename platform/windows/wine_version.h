// Which Wine versions cut long links short in their shell.
#pragma once

// Whether Wine of this version, as wine_get_version spells it ("8.0", "10.0-rc1"), builds
// a link's handler command in a buffer of 1,024 characters, which it overruns: every version
// before 8.17, and any version it cannot read.
bool WineHasShortCommandBuffer(const char *version) noexcept;
