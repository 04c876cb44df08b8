/* A small JFlex specification: prints each word of its input. */
%%
%class Words
%standalone
%unicode
%%
[a-zA-Z]+   { System.out.println("word " + yytext()); }
[^]         { }
