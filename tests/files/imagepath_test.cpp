// Image paths are the system's bytes: a background image named outside the code page comes
// back whole from every native form, and a path a file holds in its UTF-8 reads as those bytes.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "filestestutil.h"
#include "model/container.h"
#include "model/stylerecords.h"

#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

TEST(ImagePaths, ABackgroundImageNamedOutsideTheCodePageComesBackWhole) {
    TempFolder dir;
    const std::string path = "/home/u/\xD0\x94\xD0\xBE\xD0\xBA/caf\xC3\xA9 & <1>.png";
    // The longest path the record holds, 255 bytes, in two-byte characters but its extension.
    std::string longest = "/";
    for (int i = 0; i < 125; ++i) longest += "\xC3\xA9";
    longest += ".png";
    ASSERT_EQ(longest.size(), size_t(kImagePathSize - 1));
    for (const std::string& stored : {path, longest})
        for (const uint8_t form :
             {kFileXml, kFileXmlCompressed, kFileBinary, kFileBinaryCompressed}) {
            auto book = CreateWorkbook();
            ASSERT_TRUE(NewWorkbook(*book));
            BackgroundRecord& b = book->tree.active->view.background;
            b.kind = kBackgroundImage;
            CopyTextField(b.imagePath, stored.c_str(), kImagePathSize);
            const std::string file = dir.Path("book" + std::to_string(form));
            ASSERT_TRUE(SaveWorkbookFile(*book, file.c_str(), form)) << int(form);
            book->stream.Close();
            if (form == kFileXml && stored == path) {
                const Bytes bytes = ReadBytes(file);
                const std::string text(bytes.begin(), bytes.end());
                EXPECT_NE(
                    text.find(">/home/u/\xD0\x94\xD0\xBE\xD0\xBA/caf\xC3\xA9 &amp; &lt;1&gt;.png<"),
                    std::string::npos);
            }
            auto back = CreateWorkbook();
            const bool ok =
                OpenDocumentFile(*back, file.c_str()) && OpenWorkbookFile(*back, nullptr);
            ASSERT_TRUE(ok) << int(form) << " error " << int(back->error) << " line "
                            << back->xmlErrorLine;
            EXPECT_STREQ(back->tree.active->view.background.imagePath, stored.c_str()) << int(form);
        }
}

} // namespace vl
