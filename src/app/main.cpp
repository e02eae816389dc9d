// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/TarnwickApplication.h"

int main(int argc, char **argv) { return tarn::TarnwickApplication::main(argc, argv); }
