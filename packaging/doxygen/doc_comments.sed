# kalpo.h's comments read as documentation: backslashes as they are (paths,
# not commands), the file's first comment documents the file, each comment
# before a declaration documents it, and a comment after a #define on its
# line documents that constant.
s|\\|\\\\|g
# A section's title ("/* Fiscal coupon */") stays a plain comment.
/^\/\* [A-Za-z ]* \*\/$/b
1s|^/\*$|/** \\file kalpo.h|
s|^/\* |/** |
s|^\(#define KALPO_[A-Z_]* [0-9]*\) */\* |\1 /**< |
