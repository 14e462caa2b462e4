#include <gtest/gtest.h>

#include "config/load_trace.h"
#include "window/text2_store.h"

namespace vantu {
namespace {

TEST(LoadTrace, RendersEveryByteAndEveryField) {
    EXPECT_EQ(loadTrace(""), "");
    EXPECT_EQ(loadTrace("1 0 "), "1( 49) ( 32)Opcao =  1:1\r\n0( 48) ( 32)Opcao =  2:0\r\n");
    EXPECT_EQ(loadTrace("  x"), " ( 32)Opcao =  1:\r\n ( 32)Opcao =  2:\r\nx( 120)");
    EXPECT_EQ(loadTrace(std::string("\xff\0", 2)), std::string("\xff( 255)\0( 0)", 12));
}

TEST(LoadTrace, RenderingReusesAndOverwritesEarlierText) {
    std::string out(5000, '#');
    renderLoadTrace("7 ", out);
    EXPECT_EQ(out, "7( 55) ( 32)Opcao =  1:7\r\n");
    renderLoadTrace(std::string(1000, ' '), out);
    EXPECT_EQ(out, loadTrace(std::string(1000, ' ')));
    EXPECT_TRUE(out.ends_with("Opcao =  1000:\r\n"));
}

TEST(Text2Store, TheStartOfATraceIsThePrefixOfTheWholeTrace) {
    std::string lowBytes;  // bytes 0 to 9 give the shortest entries, five characters each
    for (int i = 0; i < 5000; ++i)
        lowBytes += static_cast<char>(i % 10);
    const std::vector<std::string> contents = {"",
                                               "1",
                                               "1 1 0 1 1 0 0 0 1 3 \r\n",
                                               std::string(3000, ' '),
                                               std::string(3000, 'x') + " ",
                                               "9 " + std::string(5000, '5') + " 1 ",
                                               std::string(5000, '\t'),
                                               lowBytes};
    for (const std::string& content : contents) {
        Text2Store store("Text2");
        store.setTraceOf(content);
        for (std::size_t count : {0u, 1u, 7u, 100u, 4096u, 1000000u}) {
            const std::string start = store.start(count);
            EXPECT_EQ(start, loadTrace(content).substr(0, count)) << content.size() << " " << count;
        }
        EXPECT_EQ(store.text(), loadTrace(content));
        EXPECT_EQ(store.start(50), store.text().substr(0, 50));
    }
}

TEST(Text2Store, PlainTextReplacesAPendingTrace) {
    Text2Store store("Text2");
    EXPECT_EQ(store.text(), "Text2");
    store.setTraceOf("1 ");
    store.setText("No FILE!xconfig.dat");
    EXPECT_EQ(store.text(), "No FILE!xconfig.dat");
    store.setTraceOf("1 ");
    EXPECT_EQ(store.text(), "1( 49) ( 32)Opcao =  1:1\r\n");
    EXPECT_EQ(store.text(), "1( 49) ( 32)Opcao =  1:1\r\n");
}

}  // namespace
}  // namespace vantu
