// Writes the page's form as markup and its layouts' media as JSON, for
// inline_page.py to put into the page when it is built.
// Usage: page_markup_json OUTPUT
#include "json_text.h"
#include "page_markup.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace crossing;
    if (argc != 2) {
        std::cerr << "usage: page_markup_json OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "{\"form\": " << json::quoted(web::pageMarkup())
        << ",\n \"flowMedia\": " << json::quoted(web::flowLayoutMedia())
        << ",\n \"wideTouchMedia\": " << json::quoted(web::wideTouchLayoutMedia()) << "}\n";
    out.close();
    if (!out) {
        std::cerr << "page_markup_json: could not write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
