#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "ui/application.h"
#include "unit1.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ui::Application.Initialize(argc, argv);
    Unit1Initialization();
    return RUN_ALL_TESTS();
}
