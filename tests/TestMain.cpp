#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Support/PrivateXdgFolders.h"

// The main of every test program: the tests run in folders of their own.
int main(int argc, char** argv) {
    const vorela::testing::PrivateXdgFolders folders;
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
