#pragma once
// Every web address the program opens or loads, and the names of the maker's
// two other sites, in one place: host names change together, not label by label.
#include "expand/text.h"

struct WebAddresses {
    Text maker_home;      // the maker's home page, also spelled out in 超级链接框1's caption
    Text maker_data;      // 超级链接框2
    Text product_site;    // 超级链接框5
    Text quorvik_data;    // 超级链接框3
    Text quorvik_name;
    Text lumavale_data;   // 超级链接框4
    Text lumavale_name;
    Text web_strip_page;  // loaded once by 超文本浏览框1
};

const WebAddresses& web_addresses();
