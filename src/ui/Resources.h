#pragma once

// The program's resources (pages, pictures, icons) live in a static
// library; their initialiser is named here so the linker keeps them. Safe to
// call any number of times.
void initProgramResources();
