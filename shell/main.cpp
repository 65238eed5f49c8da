// torvane: the desktop companion of the sound player.
#include "shell/application.h"

int main(int argc, char** argv) {
    return torvane::RunTorvane(argc, argv);
}
