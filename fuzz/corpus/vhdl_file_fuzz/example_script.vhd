-- A batch script for full_adder.pla. Each statement adds a new function built
-- from the adder's outputs, named (sum, cout) or numbered by position (0 is sum,
-- 1 is cout), and from its inputs a, b and cin.
sum_and_carry <= sum and cout;
any_input <= 0 or 1;
no_carry <= not cout;
half_sum <= a xor b;
