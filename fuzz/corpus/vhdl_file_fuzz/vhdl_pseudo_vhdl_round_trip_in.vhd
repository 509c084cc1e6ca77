variable a, b, cin;
-- literals: 8
s <= ( a xor b ) xor cin;
co <= ( a and b ) or ( cin and ( a xor b ) );
