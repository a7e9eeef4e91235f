#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>

#include "Shell/QtTranslations.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// Under LANG=es_ES the file dialog and the text fields' menus were English: Qt's own
// translations were never loaded, and the rest of the interface is Spanish.
TEST(QtTranslationsTest, QtsOwnButtonsSpeakSpanish) {
    QApplication& app = testing::qtTestApp();
    ASSERT_TRUE(installQtTranslations(app));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), "Cancelar");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text().remove('&'), "Abrir");
}

}  // namespace
}  // namespace vorela
